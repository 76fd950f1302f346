// The declarations and sequences the windows list, as plain values.
#include "model/declaration_list.h"

#include <gtest/gtest.h>

#include "support/opened_program.h"

namespace kapred {
namespace {

TEST(DeclarationList, TheTaxpayersDeclarationsByCodeWithTheirNamesAndDates) {
    test::OpenedProgram program;
    program.createDeclaration({"2005", "1", "2", "01/07/2004", "30/06/2005", "3"});
    program.createDeclaration();
    const auto list = taxpayerDeclarations(program.context);
    ASSERT_EQ(list.size(), 2u);
    const DeclarationSummary& original = list[0];
    EXPECT_EQ(original.code, 20040);
    EXPECT_EQ(original.period, 2004);
    EXPECT_EQ(original.sequence, 0);
    EXPECT_EQ(original.sequenceName, "Original");
    EXPECT_EQ(original.fiscalYearKind, "Regular");
    EXPECT_EQ(original.from, DateTime::fromDate(2004, 1, 1));
    EXPECT_EQ(original.to, DateTime::fromDate(2004, 12, 31));
    EXPECT_EQ(original.economicYear, 1);
    const DeclarationSummary& rectified = list[1];
    EXPECT_EQ(rectified.code, 20051);
    EXPECT_EQ(rectified.sequenceName, "Rectificativa 1");
    EXPECT_EQ(rectified.fiscalYearKind, "Irregular");
    EXPECT_EQ(rectified.from, DateTime::fromDate(2004, 7, 1));
    EXPECT_EQ(rectified.economicYear, 3);
}

TEST(DeclarationList, TheSequencesOfferedTwiceAlike) {
    test::OpenedProgram program;
    BDDJJ header(program.context);
    // The list is read from the header's own rows, which a first reading leaves at their end.
    for (int reading = 0; reading < 2; ++reading) {
        const auto sequences = presentationSequences(header);
        ASSERT_EQ(sequences.size(), 10u);
        EXPECT_EQ(sequences.front().code, 0);
        EXPECT_EQ(sequences.front().description, "Original");
        EXPECT_EQ(sequences.back().code, 9);
        EXPECT_EQ(sequences.back().description, "Rectificativa 9");
    }
}

}  // namespace
}  // namespace kapred
