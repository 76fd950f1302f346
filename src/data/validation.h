#pragma once

#include <string>
#include <vector>

#include "data/business_object.h"
#include "data/engine/database.h"
#include "data/engine/schema.h"
#include "data/user_interface.h"
#include "data/values/variant.h"

namespace kapred {

// Kinds of inconsistency, which also are the results of a business object's validation.
inline constexpr int kTypeError = 1;
inline constexpr int kRangeError = 2;
inline constexpr int kRuleError = 4;

// Which bound vGetBoundFromDatabaseType gives.
inline constexpr int kBoundDefault = 0;
inline constexpr int kBoundMaximum = 1;
inline constexpr int kBoundMinimum = 2;

// Checks of one value against a column type. Numbers are read with the given separators.
bool ValidateValueFromDatabaseType(const Variant& value, db::DataType type, NumberFormat format = {});
bool bValidateIntervalFromDatabaseType(const Variant& value, db::DataType type, NumberFormat format = {});
Variant vGetBoundFromDatabaseType(db::DataType type, int which);
// "Entero", "Numérico", "Fecha" or "Texto" between double quotes; empty for other types.
std::string sDataTypeName(db::DataType type);

// Every field of the object's entity, in the order of its table: the list is replaced by the
// fields that fail; true when none does.
bool bValidateDataTypeGeneric(BusinessObject& object, db::Database& database, NumberFormat format = {});
bool bValidateIntervalGeneric(BusinessObject& object, db::Database& database, NumberFormat format = {});
// One field against bounds of the business rule's own; a failure is added to the list.
bool bValidateInterval(BusinessObject& object, db::Database& database, const std::string& fieldName,
                       const Variant& minimum, const Variant& maximum, NumberFormat format = {});

void AddInconsistency(InconsistencyList& list, const std::string& fieldName, const std::string& message);
void AddInconsistencyToObject(BusinessObject& object, const std::string& fieldName, const std::string& message);
// The one-dimensional form kept by the generation run: one plain line more.
void UpdateVectorInconsistencias(BusinessObject& object, const std::string& message);

// The sentences of the list, one per entry, for the kind of the failed stage.
std::vector<std::string> BuildInconsistencyLines(const BusinessObject& object, int kind, NumberFormat format = {});
// Shows them in the inconsistency window under " Pantalla " + the entry window's caption.
void ShowInconsistencies(UserInterface& ui, const BusinessObject& object, int kind, NumberFormat format = {});

// Wraps a text in double quotes: 0 before, 1 after, 2 on both sides.
std::string sGetStringConComilla(const std::string& text, int mode);

}  // namespace kapred
