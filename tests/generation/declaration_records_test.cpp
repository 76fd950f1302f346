// The records of the declaration file one by one, against texts written from the record tables,
// where the hand-written file of generator_test.cpp does not reach: another stamp, another kind of
// year, payments, amounts too large, other addresses.
#include "generation/declaration_records.h"

#include <gtest/gtest.h>

#include <sstream>

#include "data/values/error.h"
#include "generation/form_totals.h"
#include "generation/verification_number.h"
#include "generation_fixture.h"

namespace kapred {
namespace {

using test::linesOf;

std::string blanks(std::size_t count) {
    return std::string(count, ' ');
}

class DeclarationRecords : public test::Generation {};

TEST_F(DeclarationRecords, HeaderLineCountsTheRecordsThatFollow) {
    EXPECT_EQ(ArmarCabecera(1, 1, 69), "HEAD10 01 01 000069");
    EXPECT_EQ(ArmarCabecera(1, 1, 70), "HEAD10 01 01 000070");
    // The second number comes first.
    EXPECT_EQ(ArmarCabecera(2, 3, 5), "HEAD10 03 02 000005");

    // The count has six digits: one record more cannot be written in them.
    EXPECT_EQ(ArmarCabecera(1, 1, 999999), "HEAD10 01 01 999999");
    try {
        const std::string line = ArmarCabecera(1, 1, 1000000);
        FAIL() << line;
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 18);
        EXPECT_EQ(error.source(), "Componente de Generación");
        EXPECT_NE(error.description().find("999999"), std::string::npos) << error.description();
    }
}

TEST_F(DeclarationRecords, IdentificationRecordOfAnOriginalStampedAtFivePastNine) {
    program.context.clock = [] {
        DateTime stamp = DateTime::fromDate(2005, 3, 10);
        stamp.time = std::chrono::hours(9) + std::chrono::minutes(5) + std::chrono::seconds(7);
        return stamp;
    };
    program.createDeclaration();
    std::ostringstream out;
    ASSERT_EQ(tipo01(program.context, out), 1);
    const std::string record = out.str();
    // The verification number starts with the fourth digit of "90507"; the time keeps its zero.
    EXPECT_EQ(record.substr(0, 29),
              "012012345678900154019200400"
              "00");
    EXPECT_EQ(record.substr(29, 1), "0");
    EXPECT_EQ(record.substr(29, 6), CalcularNumeroMagico(program.context));
    EXPECT_EQ(record.substr(35, 15),
              "036900100"
              "090507");
    EXPECT_EQ(record.size(), 88u);
}

TEST_F(DeclarationRecords, FiscalYearRecord) {
    test::HeaderInput irregular;
    irregular.period = "2005";
    irregular.sequence = "2";
    irregular.kind = "2";
    irregular.from = "01/07/2004";
    irregular.to = "31/03/2005";
    irregular.economicYear = "12";
    program.createDeclaration(irregular);
    std::ostringstream out;
    ASSERT_EQ(tipo02(program.context, out), 1);
    EXPECT_EQ(out.str(),
              "02"
              "2"
              "20040701"
              "20050331"
              "12"
              "\n");
}

template <typename Section>
long writeListRows(Context& context, std::ostream& out) {
    Section section(context);
    return sGenerarRegistrointerface(section, out);
}

TEST_F(DeclarationRecords, PaymentsAndAdvancesOneRecordPerRow) {
    program.createDeclaration();
    program.addRow<BPagosCuenta>("30/06/2004", "4.000");
    program.addRow<BPagosCuenta>("31/12/2004", "0,5");
    std::ostringstream payments;
    EXPECT_EQ(writeListRows<BPagosCuenta>(program.context, payments), 2);
    EXPECT_EQ(payments.str(),
              "05"
              "20040630"
              "000000000400000"
              "\n"
              "05"
              "20041231"
              "000000000000050"
              "\n");
    std::ostringstream advances;
    EXPECT_EQ(writeListRows<BAnticipos>(program.context, advances), 0);
    EXPECT_EQ(advances.str(), "");
    program.addRow<BAnticipos>("31/05/2005", "12.345.678,91");
    EXPECT_EQ(writeListRows<BAnticipos>(program.context, advances), 1);
    EXPECT_EQ(advances.str(),
              "06"
              "20050531"
              "000001234567891"
              "\n");
}

TEST_F(DeclarationRecords, PaymentOfTheWrongLengthStopsItsWriter) {
    program.createDeclaration();
    program.addRow<BPagosCuenta>("30/06/2004", "1");
    program.addRow<BPagosCuenta>("30/07/2004", "2");
    program.context.g_dbAplicativo->execute("UPDATE PagosCuenta SET cImporte = CCur(10000000000000) WHERE ID = 1");
    std::ostringstream out;
    EXPECT_EQ(writeListRows<BPagosCuenta>(program.context, out), -1);
    EXPECT_EQ(out.str(), "");
}

TEST_F(DeclarationRecords, FormTotalsAreNineBoxes) {
    program.createDeclaration();
    program.setSection<BActivoComputable>({{"cOtrosBienes", Variant("100.000")}});
    program.addRow<BPagosCuenta>("30/06/2004", "500");
    std::ostringstream out;
    EXPECT_EQ(BPrintDDJJ(program.context).sGenerarRegistrointerfaceF369(out), 9);
    // 2 % of 100.000 is 2.000, less the payment of 500.
    EXPECT_EQ(out.str(),
              "9004000000000010000000\n9004010000000000000000\n9004020000000010000000\n"
              "9004150000000000000000\n9004200000000010000000\n9004220000000000200000\n"
              "9004320000000000050000\n9004330000000000150000\n9004340000000000000000\n");
}

TEST_F(DeclarationRecords, AddressRecordInCapitalsFromTheFiscalAddress) {
    program.createDeclaration();
    // Before the taxpayer was shown the host number is 0: no address record.
    EXPECT_EQ(tipo91(program.context), "");

    program.context.ncontrib = 2;  // Av. de Mayo 1370, piso of blanks, Buenos Aires
    const std::string mayo = tipo91(program.context);
    EXPECT_EQ(mayo,
              "91"
              "AV. DE MAYO" +
                  blanks(9) + "1370  " + blanks(10) + blanks(5) + blanks(5) + blanks(5) + blanks(20) + " " +
                  "BUENOS AIRES   " + "COMUNA 1" + blanks(42) + "02" + "C1085ABO");

    // Accented letters become capitals of the file's code page.
    program.context.ncontrib = 3;
    EXPECT_EQ(tipo91(program.context),
              "91"
              "LOS AROMOS" +
                  blanks(10) + "45    " + "B    " + "3    " + "2    " + "12   " + "M 14 " + "VILLA NUEVA" + blanks(9) +
                  "5" + "VILLA NUEVA    " + "GENERAL SAN MART\xCDN" + blanks(32) + "14" + "X5903AAB");

    // Only the fiscal address counts.
    program.context.ncontrib = 4;
    EXPECT_EQ(tipo91(program.context), "");
}

TEST_F(DeclarationRecords, AddressWithoutValuesOrWithLongValues) {
    program.createDeclaration();
    program.context.g_dbOrel->execute("INSERT INTO domicilio (ncontrib, domfiscal) VALUES (9, 1)");
    program.context.ncontrib = 9;
    EXPECT_EQ(tipo91(program.context), "91" + blanks(137) + "00" + blanks(8));

    // A value longer than its field is cut, so every field keeps its place.
    program.context.g_dbOrel->execute(
        "INSERT INTO domicilio (ncontrib, domfiscal, calle, localidad, codprov) VALUES "
        "(10, 1, 'Avenida del Libertador General San Martín', 'San Fernando del Valle de "
        "Catamarca', 3)");
    program.context.ncontrib = 10;
    const std::string record = tipo91(program.context);
    ASSERT_EQ(record.size(), 149u);
    EXPECT_EQ(record.substr(2, 20), "AVENIDA DEL LIBERTAD");
    EXPECT_EQ(record.substr(74, 15), "SAN FERNANDO DE");
    EXPECT_EQ(record.substr(139, 10), "03" + blanks(8));
}

}  // namespace
}  // namespace kapred
