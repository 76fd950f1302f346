#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "data/app_database.h"
#include "data/values/error.h"
#include "host/orel.h"
#include "registry/cuit_check.h"
#include "registry/padron.h"
#include "support/cli_run.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace kapred::padron {
namespace {

namespace fs = std::filesystem;

// Check digits worked by hand: the first ten digits weighted 5 4 3 2 7 6 5 4 3 2.
TEST(CuitCheckDigit, ModuloElevenRule) {
    struct Case {
        const char* cuit;
        bool valid;
    };
    const Case cases[] = {
        {"30712345671", true},   // 142 = 12 * 11 + 10: 11 - 10 = 1
        {"30712345672", false},  // the same with another last digit
        {"30501234563", true},   // 107 = 9 * 11 + 8: 3
        {"20123456786", true},   // 148 = 13 * 11 + 5: 6
        {"20123456789", false},  // the demo taxpayer's digit is not the rule's
        {"20000000060", true},   // 22 = 2 * 11: 11 gives 0
        {"20000000010", false},  // 12 = 11 + 1: 10, no check digit exists
        {"2012345678", false},   // ten digits
        {"2O123456786", false},  // a letter O
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hasValidCheckDigit(c.cuit), c.valid) << c.cuit;
    }
    EXPECT_EQ(cuitCheckDigit("2000000001"), std::nullopt);
}

// A fresh data folder: Kapred's program directory "Kapred" in it, the registry's files beside.
class FreshRegistry : public ::testing::Test {
protected:
    fs::path home() const { return root / "Kapred"; }
    test::TempDir root;
    test::ScriptedUi ui;
};

mode_t modeOf(const fs::path& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

TEST_F(FreshRegistry, FirstStartCreatesBothDatabasesOnceAndPrivately) {
    {
        Padron padron(home(), ui);
        EXPECT_EQ(padron.created().size(), 2u);
        EXPECT_EQ(modeOf(root / "rexa.mdb"), 0600);
        EXPECT_EQ(modeOf(root / "sistema.mdb"), 0600);
        EXPECT_TRUE(padron.registry().list().empty());
        EXPECT_EQ(padron.registry().provinces().size(), 24u);
        const auto forms = padron.registry().legalForms();
        ASSERT_GE(forms.size(), 7u);
        EXPECT_EQ(forms[6].code, 7);
        EXPECT_EQ(forms[6].name, "Cooperativa");
        Taxpayer taxpayer;
        taxpayer.cuit = "30-71234567-1";
        taxpayer.descrip = "Cooperativa de Trabajo Horizonte Ltda.";
        padron.registry().add(taxpayer);
    }
    Padron again(home(), ui);
    EXPECT_TRUE(again.created().empty());
    ASSERT_EQ(again.registry().list().size(), 1u);
    EXPECT_EQ(again.registry().list()[0].cuit, "30-71234567-1");
}

TEST_F(FreshRegistry, NeverWritesOverAFileOrThroughALink) {
    const std::string foreign = "no es una base de datos\n";
    test::writeBytes(root / "sistema.mdb", foreign);
    test::writeBytes(root / "ajeno.txt", foreign);
    fs::create_symlink(root / "ajeno.txt", root / "rexa.mdb");
    try {
        Padron padron(home(), ui);
        FAIL() << "a link in place of the registry was used";
    } catch (const Error& error) {
        EXPECT_NE(error.description().find((root / "rexa.mdb").string()), std::string::npos) << error.description();
    }
    EXPECT_EQ(test::readBytes(root / "ajeno.txt"), foreign);
    EXPECT_EQ(test::readBytes(root / "sistema.mdb"), foreign);

    // A link that points nowhere is not followed to create its target either.
    fs::remove(root / "rexa.mdb");
    fs::create_symlink(root / "nada.mdb", root / "rexa.mdb");
    EXPECT_THROW(Padron(home(), ui), Error);
    EXPECT_FALSE(fs::exists(root / "nada.mdb"));
}

Taxpayer horizonte() {
    Taxpayer taxpayer;
    taxpayer.cuit = "30712345671";
    taxpayer.descrip = "Cooperativa de Trabajo Horizonte Ltda.";
    taxpayer.mescierreejcom = 6;
    taxpayer.formaJuridica = kCooperativeLegalForm;
    taxpayer.actividadPrincipal = "011111";
    taxpayer.actividadesSecundarias = {"014113"};
    Address& address = taxpayer.domicilioFiscal;
    address.calle = "Bv. Santa Fe";
    address.nro = "1250";
    address.piso = "1";
    address.Dtoofloc = "A";
    address.barrio = "Centro";
    address.tipobarrio = 1;
    address.localidad = "Rafaela";
    address.partido = "Castellanos";
    address.codprov = 82;
    address.codpostal = "S2300ABC";
    Address plant;
    plant.calle = "Ruta Nacional 34";
    plant.localidad = "Rafaela";
    taxpayer.otrosDomicilios = {plant};
    taxpayer.responsables = {{"Ferreyra Ana María", "22456789", 32}};
    return taxpayer;
}

TEST_F(FreshRegistry, KapredReadsWhatTheRegistryKeeps) {
    {
        Padron padron(home(), ui);
        padron.registry().add(horizonte());
        Taxpayer changed = *padron.registry().find("30-71234567-1");
        EXPECT_EQ(changed.otrosDomicilios.size(), 1u);
        EXPECT_EQ(changed.responsables.size(), 1u);
        changed.actividadesSecundarias.clear();
        changed.mescierreejcom = 12;
        padron.registry().modify(changed);
    }
    // Kapred opens the files on its own, as its start-up does.
    Context kapred(home(), "30-71234567-1", ui);
    kapred.g_dbOrel = kapred.engine.openDatabase(root / "rexa.mdb", false, true, kConnect);
    kapred.g_dbSistema = kapred.engine.openDatabase(root / "sistema.mdb", false, true, kConnect);
    BOrel orel(kapred);
    const Cuit cuit("30712345671");
    EXPECT_EQ(orel.ObtenerDescripcionContribuyente(cuit), "Cooperativa de Trabajo Horizonte Ltda.");
    EXPECT_EQ(orel.ObtenerActividadContribuyente(cuit), "011111");
    EXPECT_EQ(kapred.ncontrib, 1);
    EXPECT_EQ(orel.ObtenerMesCierre(cuit), 12);
    EXPECT_EQ(orel.ObtenerTipoSocietario(cuit), "Cooperativa");
    EXPECT_EQ(orel.ObtenerDomicilio(cuit),
              "Calle: Bv. Santa Fe Nro: 1250 Piso: 1 Dto/of/loc: A Barrio: Barrio abierto Localidad: Rafaela "
              "Provincia: Santa Fe C.P.: S2300ABC");
    EXPECT_EQ(orel.ObtenerResponsableSustitutoDatos(cuit, "Ferreyra Ana María"),
              "Responsable por deuda ajena de: Ferreyra Ana María  Nº de Documento: 22456789  Pais: Argentina");
    // The secondary activity went with the change; the main one stayed.
    auto activities = kapred.g_dbOrel->openRecordset("SELECT * FROM actcontrib");
    EXPECT_EQ(activities->recordCount(), 1);
}

TEST_F(FreshRegistry, RefusedValuesNameTheirFieldAndWriteNothing) {
    Padron padron(home(), ui);
    padron.registry().add(horizonte());
    struct Case {
        std::function<void(Taxpayer&)> change;
        Part part;
        std::string column;
        std::string message;
    };
    const std::string tooLong(101, 'x');
    const Case cases[] = {
        {[](Taxpayer& t) { t.cuit = "30-71234567-2"; }, Part::Taxpayer, "cuit",
         "CUIT: 30-71234567-2 no es un CUIT válido: su dígito verificador no corresponde."},
        {[](Taxpayer& t) { t.cuit = "3071234567"; }, Part::Taxpayer, "cuit",
         "CUIT: debe tener 11 dígitos, con o sin guiones (30-71234567-1)."},
        {[](Taxpayer& t) { t.cuit = "30712345671"; }, Part::Taxpayer, "cuit",
         "CUIT: el CUIT 30-71234567-1 ya está registrado (Cooperativa de Trabajo Horizonte Ltda.)."},
        {[](Taxpayer& t) { t.descrip = "  "; }, Part::Taxpayer, "descrip",
         "Razón social: falta el nombre del contribuyente."},
        {[&](Taxpayer& t) { t.descrip = tooLong; }, Part::Taxpayer, "descrip",
         "Razón social: admite hasta 100 caracteres y tiene 101."},
        {[](Taxpayer& t) { t.mescierreejcom = 13; }, Part::Taxpayer, "mescierreejcom",
         "Mes de cierre: debe ser un mes del 1 al 12."},
        {[](Taxpayer& t) { t.formaJuridica = 99; }, Part::Taxpayer, "formaJuridica",
         "Forma jurídica: el código 99 no es de ninguna forma jurídica."},
        {[](Taxpayer& t) { t.actividadPrincipal = "01111"; }, Part::Taxpayer, "actividadPrincipal",
         "Actividad principal: debe ser un código de actividad de seis dígitos."},
        {[](Taxpayer& t) {
             t.actividadesSecundarias = {"461011", "011111"};
         },
         Part::SecondaryActivity, "CodAct", "Actividad secundaria 2: la actividad 011111 ya está cargada."},
        {[](Taxpayer& t) { t.domicilioFiscal.calle = std::string(41, 'c'); }, Part::FiscalAddress, "calle",
         "Calle del domicilio fiscal: admite hasta 40 caracteres y tiene 41."},
        {[](Taxpayer& t) { t.domicilioFiscal.nro = "12345ñ7"; }, Part::FiscalAddress, "nro",
         "Número del domicilio fiscal: admite hasta 6 caracteres y tiene 7."},
        {[](Taxpayer& t) { t.domicilioFiscal.localidad = "Łódź"; }, Part::FiscalAddress, "localidad",
         "Localidad del domicilio fiscal: tiene caracteres que el archivo de la declaración no puede escribir."},
        {[](Taxpayer& t) { t.domicilioFiscal.codprov = 99; }, Part::FiscalAddress, "codprov",
         "Provincia del domicilio fiscal: el código 99 no es de ninguna provincia."},
        {[](Taxpayer& t) { t.otrosDomicilios.push_back({}); }, Part::OtherAddress, "calle",
         "Calle del domicilio 2: el domicilio está vacío."},
        {[](Taxpayer& t) {
             t.responsables.push_back({"Ferreyra Ana María", "", std::nullopt});
         },
         Part::Person, "apeNomTitular", "Apellido y nombre del responsable 2: Ferreyra Ana María ya está cargado."},
        {[](Taxpayer& t) { t.responsables[0].paisTitular = 1; }, Part::Person, "paisTitular",
         "País del responsable 1: el código 1 no es de ningún país."},
    };
    for (const Case& c : cases) {
        Taxpayer taxpayer = horizonte();
        // A new taxpayer unless the case is about the CUIT.
        taxpayer.cuit = "30-50123456-3";
        c.change(taxpayer);
        try {
            padron.registry().add(taxpayer);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const Refused& refused) {
            EXPECT_EQ(refused.refusal().part, c.part) << c.message;
            EXPECT_EQ(refused.refusal().column, c.column) << c.message;
            EXPECT_EQ(refused.refusal().message, c.message);
        }
    }
    EXPECT_EQ(padron.registry().list().size(), 1u);
    // A registered taxpayer keeps its CUIT, even one whose check digit is not the rule's.
    Taxpayer changed = horizonte();
    changed.domicilioFiscal.codprov = 99;
    EXPECT_THROW(padron.registry().modify(changed), Refused);
    EXPECT_EQ(padron.registry().find("30712345671")->domicilioFiscal.codprov, 82);
}

// A cooperative registered through the registry gets its fiscal address into its declaration
// file, in the columns of record 91.
TEST(RegistryAndKapred, TheDeclarationFileCarriesTheRegisteredAddress) {
    const test::ProgramDir dir;
    fs::remove(dir.root() / "rexa.mdb");
    fs::remove(dir.root() / "sistema.mdb");
    const auto added =
        test::runPadron(dir,
                        "add 30-71234567-1 --nombre 'Cooperativa de Trabajo Horizonte Ltda.' --actividad 011111 "
                        "--calle 'Bv. Santa Fe' --numero 1250 --piso 1 --depto A --barrio Centro --tipo-barrio 1 "
                        "--localidad Rafaela --partido Castellanos --provincia 82 --codigo-postal S2300ABC");
    ASSERT_EQ(added.status, 0) << added.err;
    const std::string cuit = "--cuit 30-71234567-1 ";
    ASSERT_EQ(test::runCli(dir, cuit + test::kNewOriginal2004).status, 0);
    const auto plain = dir.root() / "legible.txt";
    const auto generated = test::runCli(dir, cuit + "generate 20040 --dry-run --keep-plain " + plain.string());
    ASSERT_EQ(generated.status, 0) << generated.err;
    std::string record91;
    for (const std::string& line : test::linesOf(test::readBytes(plain))) {
        if (line.starts_with("91")) {
            record91 = line;
        }
    }
    EXPECT_EQ(record91,
              "91"
              "BV. SANTA FE        "
              "1250  "
              "     "
              "     "
              "1    "
              "A    "
              "     "
              "CENTRO              "
              "1"
              "RAFAELA        "
              "CASTELLANOS                                       "
              "82"
              "S2300ABC");
    const auto line = test::runCli(dir, cuit + "taxpayer");
    EXPECT_NE(line.out.find("Cooperativa de Trabajo Horizonte Ltda."), std::string::npos) << line.out;
    EXPECT_NE(line.out.find("011111"), std::string::npos) << line.out;
}

}  // namespace
}  // namespace kapred::padron
