// Entities and their field dictionary: case-blind names, the error of a missing one, the initial
// values of a new row and the key it takes from the current declaration.
#include "data/entity.h"

#include <gtest/gtest.h>

#include "data/values/error.h"

namespace kapred {
namespace {

const Variant kCuit(20123456789.0);

TEST(Dictionary, OrderedCaseBlindFirstMatchAndErrorElevenForAMissingKey) {
    BDictionary dictionary;
    dictionary.AddElement("k3", Variant(std::int32_t{3}));
    dictionary.AddElement("K3", Variant("second"));  // not checked on adding
    EXPECT_EQ(dictionary.Count(), 2);
    EXPECT_EQ(dictionary.vGetElement("K3"), Variant(std::int32_t{3}));
    dictionary.SetElement("k3", Variant("changed"));
    EXPECT_EQ(dictionary.pairs()[0].second, Variant("changed"));
    EXPECT_EQ(dictionary.pairs()[1].second, Variant("second"));
    for (auto lookup :
         {+[](BDictionary& d) { d.vGetElement("dos"); }, +[](BDictionary& d) { d.SetElement("dos", Variant(2.0)); }}) {
        try {
            lookup(dictionary);
            FAIL();
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), 11);
            EXPECT_EQ(error.source(), "BDictionary");
            EXPECT_EQ(error.description(), "No se encontró el elemento");
        }
    }
}

TEST(Entity, ANewRowStartsAtItsInitialValuesWithTheKeyOfTheCurrentDeclaration) {
    std::int32_t current = 20040;
    EAnticipos advance([&] { return std::make_pair(kCuit, Variant(current)); });
    EXPECT_EQ(advance.vGetFieldValue("fFecha"), Variant(DateTime::fromDate(1800, 1, 1)));
    EXPECT_EQ(advance.vGetFieldValue("cImporte"), Variant(std::int16_t{0}));
    EXPECT_EQ(advance.vGetFieldValue("cuit"), kCuit);
    advance.SetFieldValue("cImporte", Variant("1.234,50"));
    current = 20041;
    EXPECT_EQ(advance.vGetFieldValue("CodDJ"), Variant(std::int32_t{20040}));
    advance.Reset();
    EXPECT_EQ(advance.vGetFieldValue("cImporte"), Variant(std::int16_t{0}));
    EXPECT_EQ(advance.vGetFieldValue("CodDJ"), Variant(std::int32_t{20041}));

    EDDJJ header;
    EXPECT_EQ(header.vGetFieldValue("sFormulario"), Variant(""));
    EXPECT_EQ(header.vGetFieldValue("hora"), Variant(DateTime::fromDate(1800, 1, 1)));
    EXPECT_THROW(header.vGetFieldValue("cImporte"), Error);
}

}  // namespace
}  // namespace kapred
