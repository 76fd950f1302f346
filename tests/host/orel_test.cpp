#include "host/orel.h"

#include <gtest/gtest.h>

#include "data/engine/recordset.h"
#include "support/opened_program.h"

namespace kapred {
namespace {

// Taxpayers of the demo host data.
const Cuit kEsperanza("20123456789");   // two addresses, three activities
const Cuit kElCeibo("30501234563");     // a floor of three blanks
const Cuit kVillaNueva("30612345674");  // every part of the address
const Cuit kLitoral("30709876542");     // no fiscal address
const Cuit kUnknown("27999999993");

class HostData : public ::testing::Test {
protected:
    test::OpenedProgram program;
};

TEST_F(HostData, UnknownTaxpayerGivesTheEmptyAnswers) {
    BOrel orel(program.context);
    program.context.ncontrib = 5;
    EXPECT_EQ(orel.ObtenerCodigoContribuyente(kUnknown), 0);
    EXPECT_EQ(orel.ObtenerDescripcionContribuyente(kUnknown), "");
    EXPECT_EQ(orel.ObtenerActividadContribuyente(kUnknown), "0");
    EXPECT_EQ(program.context.ncontrib, 0);
    EXPECT_EQ(orel.ObtenerDomicilio(kUnknown), "");
    EXPECT_EQ(orel.ObtenerMesCierre(kUnknown), 0);
    EXPECT_EQ(orel.EsEmpresaPromovida(kUnknown), 0);
    EXPECT_EQ(orel.ObtenerTipoSocietario(kUnknown), "");
    EXPECT_EQ(orel.rObtenerResponsableDeudaAjena(kUnknown), nullptr);
    EXPECT_EQ(orel.ObtenerResponsableSustitutoDatos(kUnknown, "Ferreyra Ana María"),
              "Responsable por deuda ajena de: NO");
    EXPECT_EQ(orel.ObtenerDNIRespSust(kUnknown, "Ferreyra Ana María"), "");
}

TEST_F(HostData, TaxpayerNameActivityAndHostNumber) {
    BOrel orel(program.context);
    EXPECT_EQ(orel.ObtenerCodigoContribuyente(kElCeibo), 2);
    EXPECT_EQ(orel.ObtenerDescripcionContribuyente(kEsperanza), "Cooperativa Agrícola Ganadera La Esperanza Ltda.");
    // Of three activities only the main one.
    EXPECT_EQ(orel.ObtenerActividadContribuyente(kEsperanza), "011111");
    EXPECT_EQ(program.context.ncontrib, 1);
    EXPECT_EQ(orel.ObtenerActividadContribuyente(kVillaNueva), "351320");
    EXPECT_EQ(program.context.ncontrib, 3);

    // Without a main activity the answer is "0".
    program.context.g_dbOrel->execute("UPDATE actcontrib SET tipoAct = 'Secundaria' WHERE ncontrib = 3");
    EXPECT_EQ(orel.ObtenerActividadContribuyente(kVillaNueva), "0");

    EXPECT_EQ(orel.ObtenerMesCierre(kEsperanza), 6);
    EXPECT_EQ(orel.EsEmpresaPromovida(kEsperanza), 0);
    EXPECT_EQ(orel.EsEmpresaPromovida(kVillaNueva), 1);
}

TEST_F(HostData, FiscalAddressLeavesOutEmptyParts) {
    BOrel orel(program.context);
    // Only the row marked as the fiscal address, of the two.
    EXPECT_EQ(orel.ObtenerDomicilio(kEsperanza),
              "Calle: Bv. Santa Fe Nro: 1250 Piso: 1 Dto/of/loc: A Barrio: Barrio abierto "
              "Localidad: Rafaela "
              "Provincia: Santa Fe C.P.: S2300ABC");
    // A floor of three blanks goes with its label.
    EXPECT_EQ(orel.ObtenerDomicilio(kElCeibo),
              "Calle: Av. de Mayo Nro: 1370 Localidad: Buenos Aires Provincia: Ciudad Autónoma de "
              "Buenos Aires "
              "C.P.: C1085ABO");
    EXPECT_EQ(orel.ObtenerDomicilio(kVillaNueva),
              "Calle: Los Aromos Nro: 45 Torre: 3 Piso: 2 Dto/of/loc: 12 Manzana: M 14 Barrio: Complejo "
              "habitacional Localidad: Villa Nueva Provincia: Córdoba C.P.: X5903AAB");
    EXPECT_EQ(orel.ObtenerDomicilio(kLitoral), "");

    // Nothing but a province: its label keeps its leading blank.
    program.context.g_dbOrel->execute(
        "UPDATE domicilio SET calle = NULL, nro = '  ', torre = NULL, piso = NULL, Dtoofloc = '', "
        "manzana = NULL, "
        "tipobarrio = NULL, localidad = ' ', codpostal = NULL WHERE ncontrib = 3");
    EXPECT_EQ(orel.ObtenerDomicilio(kVillaNueva), " Provincia: Córdoba");

    // Codes that name no row leave their parts out.
    program.context.g_dbOrel->execute("UPDATE domicilio SET tipobarrio = 77, codprov = 99 WHERE ncontrib = 3");
    EXPECT_EQ(orel.ObtenerDomicilio(kVillaNueva), "");
}

TEST_F(HostData, LegalFormAndSubstituteResponsibility) {
    BOrel orel(program.context);
    // The code 7 is looked up as "007".
    EXPECT_EQ(orel.ObtenerTipoSocietario(kEsperanza), "Cooperativa");
    EXPECT_EQ(orel.ObtenerTipoSocietario(kLitoral), "Sociedad Anónima");
    program.context.g_dbOrel->execute("UPDATE contribs SET formaJuridica = 0 WHERE ncontrib = 4");
    EXPECT_EQ(orel.ObtenerTipoSocietario(kLitoral), "");
    program.context.g_dbOrel->execute("UPDATE contribs SET formaJuridica = 42 WHERE ncontrib = 4");
    EXPECT_EQ(orel.ObtenerTipoSocietario(kLitoral), "");

    auto forms = orel.ObtenerRsFormaJuridica();
    ASSERT_NE(forms, nullptr);
    EXPECT_EQ(forms->recordCount(), 16);

    EXPECT_EQ(orel.ObtenerResponsableSustitutoDatos(kElCeibo, "Ferreyra Ana María"),
              "Responsable por deuda ajena de: Ferreyra Ana María  Nº de Documento: 22456789  "
              "Pais: Argentina");
    EXPECT_EQ(orel.ObtenerResponsableSustitutoDatos(kElCeibo, "Nadie"), "Responsable por deuda ajena de: NO");
    EXPECT_EQ(orel.ObtenerResponsableSustitutoDatos(kElCeibo, "O'Brien"), "Responsable por deuda ajena de: NO");
    EXPECT_EQ(orel.ObtenerDNIRespSust(kVillaNueva, "Pereira Rodríguez Martín"), "3456789");
    EXPECT_NE(orel.rObtenerResponsableDeudaAjena(kElCeibo), nullptr);
    EXPECT_EQ(orel.rObtenerResponsableDeudaAjena(kEsperanza), nullptr);
}

TEST_F(HostData, AnswersForNoRowKeepWhyTheDataCouldNotBeRead) {
    BOrel orel(program.context);
    EXPECT_EQ(orel.ObtenerTipoSocietario(kUnknown), "");
    EXPECT_FALSE(orel.lastError());  // not found is an answer, not an error

    program.context.g_dbSistema->execute("DROP TABLE formajuridica");
    EXPECT_EQ(orel.ObtenerTipoSocietario(kEsperanza), "");
    ASSERT_TRUE(orel.lastError());
    EXPECT_FALSE(orel.lastError()->description().empty());
    EXPECT_EQ(orel.ObtenerRsFormaJuridica(), nullptr);
    EXPECT_TRUE(orel.lastError());

    program.context.g_dbOrel->execute("DROP TABLE contribs");
    EXPECT_EQ(orel.ObtenerDomicilio(kEsperanza), "");
    EXPECT_TRUE(orel.lastError());
}

TEST(Vacio, LabelOnlyWithAValue) {
    EXPECT_EQ(vacio(" Piso: ", Variant::null()), "");
    EXPECT_EQ(vacio(" Piso: ", Variant("   ")), "");
    EXPECT_EQ(vacio(" Piso: ", Variant("")), "");
    EXPECT_EQ(vacio(" Piso: ", Variant(" 3 ")), " Piso:  3 ");
    EXPECT_EQ(vacio(" Nro: ", Variant(std::int32_t{0})), " Nro: 0");
}

}  // namespace
}  // namespace kapred
