#include "data/entity.h"

#include <gtest/gtest.h>

#include "data/object_factory.h"
#include "data/values/error.h"

namespace kapred {
namespace {

const Variant kCuit(20123456789.0);
const Variant kCodDJ(std::int32_t{20040});

DeclarationKeySource currentDeclaration() {
    return [] { return std::make_pair(kCuit, kCodDJ); };
}

TEST(Dictionary, OrderedCaseBlindFirstMatch) {
    BDictionary dictionary;
    for (int i = 0; i < 9; ++i) {
        dictionary.AddElement("k" + std::to_string(i), Variant(std::int32_t{i}));
    }
    EXPECT_EQ(dictionary.Count(), 9);
    dictionary.AddElement("K3", Variant("second"));  // not checked on adding
    EXPECT_EQ(dictionary.Count(), 10);
    EXPECT_EQ(dictionary.vGetElement("K3"), Variant(std::int32_t{3}));
    dictionary.SetElement("k3", Variant("changed"));
    EXPECT_EQ(dictionary.vGetElement("k3"), Variant("changed"));
    EXPECT_EQ(dictionary.pairs()[9].second, Variant("second"));
    EXPECT_EQ(dictionary.pairs()[0].first, "k0");
}

TEST(Dictionary, MissingKeyIsErrorEleven) {
    BDictionary dictionary;
    dictionary.AddElement("uno", Variant(1.0));
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

TEST(Entity, NewAdvanceStartsAtInitialValuesWithTheCurrentKey) {
    EAnticipos advance(currentDeclaration());
    EXPECT_EQ(advance.sEntityName(), "Anticipos");
    std::vector<std::string> columns;
    for (const auto& [name, value] : advance.fields().pairs()) {
        columns.push_back(name);
    }
    EXPECT_EQ(columns, (std::vector<std::string>{"CUIT", "CodDJ", "ID", "fFecha", "cImporte"}));
    EXPECT_EQ(advance.vGetFieldValue("ID"), Variant(std::int16_t{0}));
    EXPECT_EQ(advance.vGetFieldValue("fFecha"), Variant(DateTime::fromDate(1800, 1, 1)));
    EXPECT_EQ(advance.vGetFieldValue("cImporte"), Variant(std::int16_t{0}));
    EXPECT_EQ(advance.vGetFieldValue("CUIT"), kCuit);
    EXPECT_EQ(advance.vGetFieldValue("cuit"), kCuit);
    EXPECT_EQ(advance.vGetFieldValue("coddj"), kCodDJ);

    advance.SetFieldValue("cImporte", Variant("1.234,50"));
    advance.Reset();
    EXPECT_EQ(advance.vGetFieldValue("cImporte"), Variant(std::int16_t{0}));
    EXPECT_EQ(advance.vGetFieldValue("CodDJ"), kCodDJ);
}

TEST(Entity, ResetFollowsTheCurrentDeclaration) {
    std::int32_t current = 20040;
    EPasivo liabilities([&] { return std::make_pair(kCuit, Variant(current)); });
    current = 20041;
    EXPECT_EQ(liabilities.vGetFieldValue("CodDJ"), Variant(std::int32_t{20040}));
    liabilities.Reset();
    EXPECT_EQ(liabilities.vGetFieldValue("CodDJ"), Variant(std::int32_t{20041}));
}

TEST(Entity, NewHeaderHasEmptyTextsAndKeepsItsOwnKey) {
    EDDJJ header;
    EXPECT_EQ(header.fields().Count(), 13);
    EXPECT_EQ(header.vGetFieldValue("sFormulario"), Variant(""));
    EXPECT_EQ(header.vGetFieldValue("sVersion"), Variant(""));
    EXPECT_EQ(header.vGetFieldValue("sVersionEXE"), Variant(""));
    EXPECT_EQ(header.vGetFieldValue("hora"), Variant(DateTime::fromDate(1800, 1, 1)));
    EXPECT_EQ(header.vGetFieldValue("CUIT"), Variant(std::int16_t{0}));
    EXPECT_THROW(header.vGetFieldValue("cImporte"), Error);
}

TEST(Entity, EverySectionHasItsTableColumns) {
    const auto key = currentDeclaration();
    EXPECT_EQ(EActivoComputable(key).fields().Count(), 19);
    EXPECT_EQ(EActivoExento(key).fields().Count(), 5);
    EXPECT_EQ(EActivoNoComputable(key).fields().Count(), 3);
    EXPECT_EQ(ELiqDeduccionesAlCapital(key).fields().Count(), 6);
    EXPECT_EQ(EPagosCuenta(key).fields().Count(), 5);
    EXPECT_EQ(EPasivo(key).fields().Count(), 9);
    EXPECT_EQ(ESaldoFavorPeriodoAnt(key).fields().Count(), 4);
    EXPECT_EQ(ESaldoFavorPeriodoAnt(key).vGetFieldValue("lPeriodo"), Variant(std::int16_t{0}));
}

class Window : public EntryWindow {};

TEST(ObjectFactory, BusinessObjectsAreNewWindowsShared) {
    ObjectFactory factory;
    factory.registerBusiness(
        "Pasivo", [] { return std::make_unique<BusinessObject>(std::make_unique<EPasivo>(DeclarationKeySource{})); });
    factory.registerWindow("Pasivo", [] { return std::make_shared<Window>(); });
    factory.registerWindow("TS", [] { return std::make_shared<Window>(); });

    auto first = factory.createBusiness("Pasivo");
    auto second = factory.createBusiness("Pasivo");
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(factory.window("Pasivo"), factory.window("Pasivo"));
    EXPECT_TRUE(factory.window("TS"));
    EXPECT_FALSE(factory.createBusiness("TS"));
    EXPECT_FALSE(factory.createBusiness("pasivo"));  // names are compared exactly
    EXPECT_FALSE(factory.window("Otro"));
}

}  // namespace
}  // namespace kapred
