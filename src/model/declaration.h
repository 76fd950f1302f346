#pragma once

#include <memory>
#include <string>

#include "data/engine/recordset.h"
#include "model/section_object.h"

namespace kapred {

// The declaration header: the taxpayer, the fiscal period and year, the economic year and the
// presentation sequence. Its key CodDJ joins the period and the sequence (2004 and 0 give
// 20040) and never changes once the declaration exists.
class BDDJJ : public SectionObject {
public:
    explicit BDDJJ(Context& context);

    bool bSave() override;
    int iValidateBusinessRules() override;
    bool bValidateInterval() override;
    // The entity back to its initial values, with the command line's CUIT.
    void Reset() override;

    // The sequences of presentation offered for a declaration (T_SECUENCIAS).
    db::Recordset& secuencias() { return *secuencias_; }

    // Removes the declaration with the rows of every section, all or nothing; then resets the
    // object. False (and nothing removed) when the database refused.
    bool bDeleteDeclaration();

protected:
    std::vector<Interval> intervals() const override;
    // A declaration that exists takes only a new kind of fiscal year: its period, sequence,
    // dates and economic year stay as they were saved.
    void assignEntryValues(const EntryValues& values) override;

private:
    void CompleteNewHeader();
    bool dateRulesPass();

    std::unique_ptr<db::Recordset> secuencias_;
};

// The header of the declaration being worked on; null when none is chosen.
BDDJJ* currentHeader(const Context& context);

// The program version as the header keeps it: major, minor and revision as "00", "00", "000".
std::string programVersionText();
// A stored program version as people read it: "0100000" gives "1.0.0"; any other text stays.
std::string versionDisplayText(const std::string& stored);

// The text of a declaration's code: the period followed by the sequence (2004 and 1 give
// "20041"). A part typed as a whole number counts as that number, so "01" and " 1" are the
// sequence 1 as the list of sequences gives it; anything else stays as typed, for the type check
// of the code to refuse.
std::string declarationCodeText(const Variant& period, const Variant& sequence, NumberFormat format = {});

}  // namespace kapred
