#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kapred {

struct Context;

// Reads a declaration file of form 369 back, record by record and field by field, through the
// same layout tables that write it, and names every fault of form it finds.

struct InspectedField {
    std::string caption;  // what the field holds, in the user's words
    int from = 0;         // first and last column, counting from 1
    int to = 0;
    std::string raw;    // the characters in those columns, as UTF-8
    std::string value;  // decoded: amounts 1.234,50, dates dd/mm/yyyy, CUIT with dashes
};

struct InspectedRecord {
    long line = 0;       // line of the file, counting the header line as 1
    std::string type;    // "01", "04"...; the first two characters of an unknown record
    std::string figure;  // records 04 and 90: the figure they carry, as its window labels it
    std::string raw;
    std::vector<InspectedField> fields;  // empty for an unknown record
};

struct FileInspection {
    std::string header;                    // the header line, empty when there is none
    std::vector<InspectedRecord> records;  // every line after the header but blank ones
    std::vector<std::string> faults;       // one sentence per fault, in file order
    bool sound() const { return faults.empty(); }
};

// The file's bytes: the header line "HEAD10 01 01 " + the record count, then the records, each
// ending in a line feed. Faults found: a missing or malformed header, a count different from the
// records, an unknown record, a record of the wrong length, one out of order or missing, a
// field whose characters its encoding cannot hold, a carriage return, a blank line (which is no
// record).
FileInspection inspectDeclarationFile(std::string_view bytes);

// Adds a fault when the verification number of record 01 is not the one the agency's library
// gives for the file's CUIT, period, sequence, time and amount to pay (record 99). A file
// without those records is left as it is; a library that cannot be used is one fault more.
void checkVerificationNumber(const Context& context, FileInspection& inspection);

}  // namespace kapred
