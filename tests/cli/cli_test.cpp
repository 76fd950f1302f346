// The command line end to end: the same figures, messages and exit codes as the windows.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "data/app_database.h"
#include "support/cli_run.h"
#include "support/program_dir.h"

namespace kapred {
namespace {

using Result = test::CliResult;

class Cli : public ::testing::Test {
protected:
    Result run(const std::string& arguments) { return test::runCli(dir, arguments); }

    // A 2004 regular declaration, original.
    void createDeclaration() {
        const Result created =
            run("new --period 2004 --sequence 0 --kind 1 --from 01/01/2004 --to 31/12/2004 --economic-year 1");
        ASSERT_EQ(created.status, 0) << created.err;
    }

    void setRate(const std::string& rate, const std::string& threshold) {
        db::Engine engine;
        auto tables = engine.openDatabase(dir.home() / "Si010000.mdb", false, false, kConnect);
        tables->execute("UPDATE T_ALICUOTAS_Y_TOPES SET alicuota = " + rate + ", TopeEnPesos = CCur(" + threshold +
                        ")");
    }

    test::ProgramDir dir;
};

TEST_F(Cli, LiabilitiesAreApportionedToTheComputableAssets) {
    createDeclaration();
    ASSERT_EQ(run("set 20040 ActivoComputable cDineroEfectivoNac=600.000").status, 0);
    ASSERT_EQ(run("set 20040 ActivoExento cCuotasSociales=200.000").status, 0);
    ASSERT_EQ(run("set 20040 ActivoNoComputable cBienesExterior=200.000").status, 0);
    ASSERT_EQ(run("set 20040 Pasivo cDeudas=100.000").status, 0);
    const Result liquidation = run("liquidation 20040");
    ASSERT_EQ(liquidation.status, 0) << liquidation.err;
    EXPECT_NE(liquidation.out.find("Pasivo al Cierre del Ejercicio: 60.000,00\n"), std::string::npos)
        << liquidation.out;
    EXPECT_NE(liquidation.out.find("Capital al Cierre del Ejercicio: 540.000,00\n"), std::string::npos);

    const auto json = nlohmann::json::parse(run("liquidation 20040 --json").out);
    EXPECT_EQ(json["ccPasivoAlCierre"], "60.000,00");
    EXPECT_EQ(json["ccActivoComputable"], "600.000,00");
}

TEST_F(Cli, WhatRemainsToPayAfterTheCredits) {
    setRate("1.5", "15000");
    createDeclaration();
    ASSERT_EQ(run("set 20040 ActivoComputable cOtrosBienes=1.000.000").status, 0);
    ASSERT_EQ(run("set 20040 SaldoFavorPeriodoAnt lPeriodo=2003 cImporte=2.000").status, 0);
    ASSERT_EQ(run("add-row 20040 Anticipos fFecha=15/01/2005 cImporte=3.000").status, 0);
    ASSERT_EQ(run("add-row 20040 Anticipos fFecha=15/02/2005 cImporte=1.000").status, 0);
    ASSERT_EQ(run("add-row 20040 PagosCuenta fFecha=30/06/2004 cImporte=4.000").status, 0);

    const Result determination = run("determination 20040");
    ASSERT_EQ(determination.status, 0) << determination.err;
    EXPECT_EQ(determination.out,
              "Saldo a Favor Período Anterior: 2.000,00\n"
              "Total Pagos a Cuenta: 4.000,00\n"
              "Total Anticipos: 4.000,00\n"
              "Contribución Especial Determinado: 15.000,00\n"
              "A favor de Rexa: 5.000,00\n"
              "A Favor del Contribuyente: 0,00\n");

    // Below the threshold nothing is due and the advances are in the taxpayer's favour.
    setRate("1.5", "20000");
    const auto json = nlohmann::json::parse(run("determination 20040 --json").out);
    EXPECT_EQ(json["ccContribEspecial"], "0,00");
    EXPECT_EQ(json["ccSaldoRexa"], "0,00");
    EXPECT_EQ(json["ccSaldoContrib"], "10.000,00");
}

TEST_F(Cli, ValidationFailuresExitWithTheirKindAndStoreNothing) {
    createDeclaration();
    Result letters = run("set 20040 Pasivo cDeudas=12a");
    EXPECT_EQ(letters.status, 1);
    EXPECT_NE(letters.err.find(" Pantalla Pasivo"), std::string::npos);
    EXPECT_NE(letters.err.find("El campo 'Deudas en Moneda Nacional y Extranjera' debe ser : \"Numérico\". Intento "
                               "de ingreso :12a"),
              std::string::npos)
        << letters.err;

    Result reserves = run("set 20040 Pasivo iCooperativaSegurosCapitalizacion=0 cReservasTecnicas=5");
    EXPECT_EQ(reserves.status, 4);
    EXPECT_NE(reserves.err.find("El importe de \"Reservas Técnicas\" solo puede cargarse cuando \"Cooperativa de "
                                "Seguros de Capitalización\" es SI."),
              std::string::npos)
        << reserves.err;

    Result late = run("add-row 20040 Anticipos fFecha=01/06/2005 cImporte=10");
    EXPECT_EQ(late.status, 2);
    EXPECT_NE(late.err.find("El campo 'Fecha' debe estar comprendido entre : 01/01/1800 y 31/05/2005 . Intento de "
                            "ingreso :01/06/2005"),
              std::string::npos)
        << late.err;

    Result samePeriod = run("set 20040 SaldoFavorPeriodoAnt lPeriodo=2004 cImporte=5");
    EXPECT_EQ(samePeriod.status, 4);
    EXPECT_NE(samePeriod.err.find("El Período debe ser menor al Período Fiscal de la Declaración Jurada."),
              std::string::npos);

    Result period = run("new --period 2023 --sequence 0 --kind 1 --from 01/01/2022 --to 31/12/2022 --economic-year 1");
    EXPECT_EQ(period.status, 2);

    Result duplicate =
        run("new --period 2004 --sequence 0 --kind 1 --from 01/01/2004 --to 31/12/2004 --economic-year 1");
    EXPECT_EQ(duplicate.status, 4);
    EXPECT_NE(duplicate.err.find("El registro que intenta ingresar, ya se encuentra en la base de datos."),
              std::string::npos);

    const auto rows = nlohmann::json::parse(run("rows 20040 Anticipos --json").out);
    EXPECT_TRUE(rows["Filas"].empty());
    const auto balance = nlohmann::json::parse(run("show 20040 SaldoFavorPeriodoAnt --json").out);
    EXPECT_EQ(balance["Campos"]["cImporte"], "0,00");
    const auto declarations = nlohmann::json::parse(run("declarations --json").out);
    EXPECT_EQ(declarations.size(), 1u);
}

TEST_F(Cli, RowsAreNumberedChangedAndDeleted) {
    createDeclaration();
    for (const char* amount : {"1", "2", "3"}) {
        ASSERT_EQ(run(std::string("add-row 20040 PagosCuenta fFecha=01/02/2004 cImporte=") + amount).status, 0);
    }
    EXPECT_EQ(run("delete-row 20040 PagosCuenta 2 --yes").status, 0);
    EXPECT_EQ(run("modify-row 20040 PagosCuenta 3 cImporte=1.234,5").status, 0);
    EXPECT_EQ(run("add-row 20040 PagosCuenta fFecha=01/03/2004 cImporte=10").out, "Fila 4 agregada.\n");
    EXPECT_EQ(run("modify-row 20040 PagosCuenta 9 cImporte=1").status, 3);

    const auto rows = nlohmann::json::parse(run("rows 20040 PagosCuenta --json").out);
    ASSERT_EQ(rows["Filas"].size(), 3u);
    EXPECT_EQ(rows["Filas"][1]["ID"], 3);
    EXPECT_EQ(rows["Filas"][1]["cImporte"], "1.234,50");
    EXPECT_EQ(rows["Totales"]["ccImporte"], "1.245,50");

    EXPECT_EQ(run("delete-all 20040 PagosCuenta --no").status, 0);
    EXPECT_EQ(nlohmann::json::parse(run("rows 20040 PagosCuenta --json").out)["Filas"].size(), 3u);
    EXPECT_EQ(run("delete-all 20040 PagosCuenta --yes").status, 0);
    EXPECT_TRUE(nlohmann::json::parse(run("rows 20040 PagosCuenta --json").out)["Filas"].empty());
}

TEST_F(Cli, CopyAndDeleteLeaveOtherDeclarationsAlone) {
    createDeclaration();
    ASSERT_EQ(run("set 20040 Pasivo cDeudas=7").status, 0);
    ASSERT_EQ(run("add-row 20040 Anticipos fFecha=01/02/2005 cImporte=8").status, 0);
    ASSERT_EQ(run("copy 20040 --period 2004 --sequence 1").status, 0);
    Result again = run("copy 20040 --period 2004 --sequence 1");
    EXPECT_EQ(again.status, 4);
    EXPECT_NE(again.err.find("La Declaración Jurada a la que intenta copiar ya existe."), std::string::npos);
    Result earlier = run("copy 20040 --period 2003 --sequence 1");
    EXPECT_NE(earlier.err.find(" El Período Destino debe ser igual al Período Origen "), std::string::npos);

    ASSERT_EQ(run("delete 20040 --yes").status, 0);
    EXPECT_EQ(run("show 20040").status, 3);
    const auto copied = nlohmann::json::parse(run("show 20041 --json").out);
    EXPECT_EQ(copied["CODIGO_T_SECUENCIAS"], 1);
    EXPECT_EQ(copied["Secuencia"], "Rectificativa 1");
    EXPECT_EQ(nlohmann::json::parse(run("show 20041 Pasivo --json").out)["Totales"]["ccPasivo"], "7,00");
    const auto advances = nlohmann::json::parse(run("rows 20041 Anticipos --json").out);
    ASSERT_EQ(advances["Filas"].size(), 1u);
    EXPECT_EQ(advances["Filas"][0]["ID"], 1);
}

TEST_F(Cli, TaxpayerAndSystemTables) {
    const auto taxpayer = nlohmann::json::parse(run("taxpayer --json").out);
    EXPECT_EQ(taxpayer["CUIT"], "20-12345678-9");
    EXPECT_FALSE(taxpayer["Nombre"].get<std::string>().empty());
    const auto sequences = nlohmann::json::parse(run("tables T_SECUENCIAS --json").out);
    EXPECT_EQ(sequences["Título"], "Datos : Secuencias");
    EXPECT_EQ(sequences["Filas"][0]["Código"], 0);
    EXPECT_EQ(run("tables NO_EXISTE").status, 3);
    EXPECT_EQ(run("show 29990").status, 3);
}

TEST_F(Cli, NoRateForTheYearIsToldNotHidden) {
    {
        db::Engine engine;
        auto tables = engine.openDatabase(dir.home() / "Si010000.mdb", false, false, kConnect);
        tables->execute("DELETE * FROM T_ALICUOTAS_Y_TOPES");
    }
    createDeclaration();
    const Result liquidation = run("liquidation 20040");
    EXPECT_EQ(liquidation.status, 3);
    EXPECT_NE(liquidation.err.find("T_ALICUOTAS_Y_TOPES"), std::string::npos) << liquidation.err;
    EXPECT_NE(liquidation.err.find("01/01/2004"), std::string::npos);
}

}  // namespace
}  // namespace kapred
