#include "generation/verification_number.h"

#include <gtest/gtest.h>

#include <chrono>

#include "app/context.h"
#include "data/values/error.h"
#include "generation/agency_interface.h"
#include "generation/agency_libraries.h"
#include "generation/directories.h"
#include "support/program_dir.h"
#include "support/scoped_env.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;

UserLocale commaUser() {
    return UserLocale{"es_AR", {",", ".", ",", "."}};
}

DateTime stampedAt(int hours, int minutes, int seconds) {
    DateTime stamp = DateTime::fromDate(2005, 3, 15);
    stamp.time = std::chrono::hours(hours) + std::chrono::minutes(minutes) + std::chrono::seconds(seconds);
    return stamp;
}

// ---- The four values and the number ----------------------------------------------------------

TEST(FormatoInterfaz, FifteenDigitsWithImpliedDecimalsAndZeroForWhatIsNotAPositiveNumber) {
    const std::string zeros(15, '0');
    const std::pair<std::string, std::string> written[] = {
        {FormatoInterfaz(Currency::fromScaled(12345600), 15, 2), "000000000123456"},
        {FormatoInterfaz(1234.56, 15, 2), "000000000123456"},
        {FormatoInterfaz(Currency::fromUnits(20123456789), 15, 0), "000020123456789"},
        {FormatoInterfaz(Variant("1.234,56"), 15, 2), "000000000123456"},
        {FormatoInterfaz(Variant(std::int32_t{200400}), 15, 0), "000000000200400"},
        {FormatoInterfaz(0.005, 15, 2), "000000000000001"},
        {FormatoInterfaz(Currency::fromScaled(12345649), 15, 2), "000000000123456"},
        {FormatoInterfaz(2.5, 3, 0), "003"},
        {FormatoInterfaz(1e16, 15, 0), "10000000000000000"},  // larger values are not cut
        {FormatoInterfaz(-0.01, 15, 2), zeros},
        {FormatoInterfaz(Variant("-3"), 15, 0), zeros},
        {FormatoInterfaz(Variant(true), 15, 0), zeros},  // True is -1
        {FormatoInterfaz(Variant("abc"), 15, 0), zeros},
        {FormatoInterfaz(Variant("1234.5"), 15, 0), zeros},  // wrongly grouped
        {FormatoInterfaz(Variant::null(), 15, 0), zeros},
        {FormatoInterfaz(Variant(DateTime::fromDate(2005, 1, 1)), 15, 0), zeros},
        // The first digit is the fourth of the time stamp; the checksum is taken unsigned; a stamp
        // before ten minutes past midnight leaves five digits.
        {FormarNumeroMagico(12345, 143025), "012345"},
        {FormarNumeroMagico(12345, 93025), "212345"},
        {FormarNumeroMagico(12345, 235959), "912345"},
        {FormarNumeroMagico(-1, 143025), "065535"},
        {FormarNumeroMagico(-32768, 143025), "032768"},
        {FormarNumeroMagico(32767, 143025), "032767"},
        {FormarNumeroMagico(12345, 959), "12345"},  // 00:09:59
        {FormarNumeroMagico(-1, 0), "65535"},
        {FormarNumeroMagico(12345, 1000), "012345"},  // 00:10:00
    };
    for (const auto& [result, expected] : written) {
        EXPECT_EQ(result, expected);
    }
}

// ---- Through the library ---------------------------------------------------------------------
//
// The expected values are the CRC-16/CCITT-FALSE of the four 15-digit texts one after the
// other, worked out apart from the program. For CUIT 20123456789, declaration 200400, 1.234,56
// to pay and 14:30:25 the texts are 000020123456789, 000000000200400, 000000000123456 and
// 000000000143025, whose checksum is 0x8B69 (35689).

class VerificationNumber : public ::testing::Test {
protected:
    VerificationNumber() : context(dir.home(), "20123456789", ui, RegionalSettings(commaUser())) {}

    DatosNumeroMagico declaration() const {
        return {Variant(Currency::fromUnits(20123456789)), Variant(std::int32_t{200400}),
                Currency::fromScaled(12345600), Variant(stampedAt(14, 30, 25))};
    }

    // The computation raises the reason for its caller to show, and shows nothing itself.
    template <typename Computation>
    void expectRaised(Computation computation, const std::string& part) {
        try {
            computation();
            ADD_FAILURE() << "no error raised; expected one about " << part;
        } catch (const Error& error) {
            EXPECT_NE(error.description().find(part), std::string::npos) << error.description();
        }
        EXPECT_TRUE(ui.shown.empty());
    }

    test::ScopedEnv noSystemOverride{agency::kSystemDirectoryVariable, std::nullopt};
    test::ProgramDir dir;
    test::ScriptedUi ui;
    Context context;
};

TEST_F(VerificationNumber, LibraryComputesTheDocumentedChecksum) {
    const std::string system = DirWinSystem(context);
    // The standard check value of CRC-16/CCITT-FALSE.
    EXPECT_EQ(CallVerificationLibrary(system, "123456789", "", "", "", "prueba"), 0x29B1);
    EXPECT_EQ(CallVerificationLibrary(system, "000020123456789", "000000000200400", "000000000123456",
                                      "000000000143025", "prueba"),
              static_cast<std::int16_t>(0x8B69));
}

TEST_F(VerificationNumber, EachOfTheFourValuesChangesTheNumberAndNothingElseDoes) {
    EXPECT_EQ(CalcularNumeroMagico(context, declaration()), "035689");
    EXPECT_EQ(NumeroMagico(context, Currency::fromUnits(20123456789), 200400, 1234.56, 143025), "035689");
    auto cuit = declaration();
    cuit.cuit = Variant("27123456789");  // stored as text, still a number
    auto code = declaration();
    code.codDJ = Variant(std::int32_t{200401});
    auto amount = declaration();
    amount.saldoRexa = Currency::fromScaled(12345700);
    auto nothingToPay = declaration();
    nothingToPay.saldoRexa = Currency();
    auto stamp = declaration();
    stamp.hora = Variant(stampedAt(14, 30, 26));
    auto morning = declaration();
    morning.hora = Variant(stampedAt(9, 30, 25));  // checksum 0xEFB3 (61363), "93025"
    const std::pair<DatosNumeroMagico, std::string> numbers[] = {{cuit, "028898"},   {code, "001344"},
                                                                 {amount, "009037"}, {nothingToPay, "009359"},
                                                                 {stamp, "047882"},  {morning, "261363"}};
    for (const auto& [values, number] : numbers) {
        EXPECT_EQ(CalcularNumeroMagico(context, values), number);
    }
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(VerificationNumber, ValuesThatAreNoNumbersOrAMissingLibraryRaiseTheirReason) {
    auto dashed = declaration();
    dashed.cuit = Variant("20-12345678-9");
    expectRaised([&] { CalcularNumeroMagico(context, dashed); }, "No coinciden los tipos");
    auto unstamped = declaration();
    unstamped.hora = Variant::null();
    expectRaised([&] { CalcularNumeroMagico(context, unstamped); }, "Null");

    // A missing library, a file that is no library, or a library that is not the verification one.
    const auto compute = [&] { NumeroMagico(context, Currency::fromUnits(20123456789), 200400, 0, 143025); };
    fs::remove(dir.systemDir() / agency::kVerificationLibrary);
    expectRaised(compute, agency::kVerificationLibrary);
    test::writeBytes(dir.systemDir() / agency::kVerificationLibrary, "MZ no es una biblioteca");
    expectRaised(compute, agency::kVerificationLibrary);
    fs::copy_file(dir.systemDir() / agency::kEncryptionLibrary, dir.systemDir() / agency::kVerificationLibrary,
                  fs::copy_options::overwrite_existing);
    expectRaised(compute, agency::kVerificationEntry);
}

TEST_F(VerificationNumber, SystemDirectoryCanBeMoved) {
    test::TempDir elsewhere;
    fs::copy_file(dir.systemDir() / agency::kVerificationLibrary, elsewhere.path() / agency::kVerificationLibrary);
    fs::remove(dir.systemDir() / agency::kVerificationLibrary);
    test::ScopedEnv moved(agency::kSystemDirectoryVariable, elsewhere.path().string());
    EXPECT_EQ(DirWinSystem(context), elsewhere.path().string() + "/");
    EXPECT_EQ(CalcularNumeroMagico(context, declaration()), "035689");
}

}  // namespace
}  // namespace kapred
