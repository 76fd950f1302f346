#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/context.h"
#include "import/record_file.h"
#include "import/run_outcome.h"
#include "model/section_object.h"

namespace kapred {

// The file, in the program directory, where an import run writes the lines it could not store.
inline constexpr const char* kImportErrorFile = "ErroresImportacion.txt";

// The import engine: loads one fixed-width text file (Windows-1252) into one section of the
// current declaration using one import format. It checks the file's shape, then reads it line
// by line; each line fills a new business object of the section, which validates and saves it,
// so every rule of the section applies. What fails is logged in the error file and counted.
//
// Choices where the old behaviour was left open:
// - A file whose last record has no line end: the record is read like the others when it has
//   the length of a whole record less its line end; any other short ending makes the records
//   uneven.
// - Lines are split at the line end found in the first 2000 bytes and only there, so a file of
//   line feeds alone (Unix text) is read line by line; a file of nothing but line feeds gives
//   one blank line per line feed, each logged and counted.
// - The error file is UTF-8 text, like every text the program writes for a person to read.
// - A format whose decimal separator is the point reads its amounts with the point (the export
//   writes them so); its other fields, and every field of any other format, reach the entity
//   exactly as they stand in the file.
// - One business object of the section takes every line in turn, cleared with AddNew before
//   each, as an entry window keeps one object while the user adds rows: the rows and their
//   numbers are those that a new object per line would give, without asking the database for
//   the next row number at every line.
// - Rows are saved in transactions of a batch of lines each, committed when the batch is full,
//   at the end, at a cancellation and at a failure: the rows stored are those of a run without
//   batches. If the database undoes a batch by itself (a full disk), the run stops and says
//   which lines were lost.
class ImportRun {
public:
    enum class State { Idle, Finished, Cancelled, Failed };

    explicit ImportRun(Context& context);
    ~ImportRun();
    ImportRun(const ImportRun&) = delete;
    ImportRun& operator=(const ImportRun&) = delete;

    // Back to the start: numbers 0, texts empty, files closed, the cancel flag down.
    void LimpiarImportacion();

    // Set after LimpiarImportacion and before the run.
    long formatId = 0;
    long importCode = 0;  // the section's code (Codigo_Import)
    std::filesystem::path inputPath;
    std::string errorFileName;  // in the program directory

    // The whole run; true when every line was read. False when a preparation step failed (see
    // problems(), or the error file once it is open) or the run was cancelled.
    bool ImportarArchivo();
    // What the last run has to tell of itself: why a preparation step failed, or that the error
    // file could not be written whole.
    const RunOutcome& problems() const { return problems_; }
    // The last run told on its own: a complete run without refused lines says "El Proceso ha
    // finalizado correctamente!", then come its problems. A caller that tells the end with the
    // counts (importFile) takes the problems alone.
    RunOutcome outcome() const;

    // The flag the run looks at before each line. Setting it is all a Cancel command, another
    // thread or a signal handler needs to do; the run stops at the next line, keeping the rows
    // stored so far and writing no summary.
    void useCancelFlag(std::atomic<bool>& flag) { cancel_ = &flag; }
    void cancel() { cancel_->store(true); }
    bool cancelRequested() const { return cancel_->load(); }

    // Lines saved per transaction (at least 1). Each commit waits for the disk four times, so the
    // default is large enough that a million lines take ten; a kill keeps every committed batch
    // whole and loses at most the one being written.
    void setBatchSize(long lines) { batchSize_ = lines < 1 ? 1 : lines; }

    State state() const { return state_; }
    long linesRead() const { return linesRead_; }
    long errors() const { return errors_; }
    // Rows of the batches committed so far.
    long stored() const { return stored_; }
    // Deletes the rows this run stored in the declaration, and no other (a list section numbers
    // its rows upward; a single-row section had no row before, or the run could store none).
    // The number of rows deleted.
    long removeStoredRows();
    // Why the reading of the lines stopped, when the database failed; empty otherwise.
    const std::string& failure() const { return failure_; }
    long recordLength() const { return recordLength_; }
    long estimatedLines() const { return estimatedLines_; }
    const LineEndInfo& lineEnd() const { return lineEnd_; }
    int progress() const { return progress_; }
    std::filesystem::path errorFilePath() const;

private:
    struct LayoutField {
        std::size_t from = 0;
        std::size_t to = 0;
        std::string fieldName;
        std::string tableName;
        bool pointAmount = false;  // an amount of a format whose decimal sign is the point
    };

    bool prepare();
    bool readLines();
    void storeLine(const std::string& line);
    void closeFiles();
    // Adds a text, with a carriage return, to the current line's errors and writes them all.
    void gatherError(const std::string& text);
    void writeRaw(const std::string& text);
    void lineError();
    // Commits the open batch; false, after logging the lines whose rows were lost, when the
    // database refuses.
    bool commitBatch();
    void lostBatch(const std::string& reason);
    bool batchUndone();

    Context& context_;
    std::atomic<bool> ownCancel_{false};
    std::atomic<bool>* cancel_;
    long batchSize_ = 100000;

    State state_ = State::Idle;
    std::vector<LayoutField> layout_;
    long recordLength_ = 0;
    std::uint64_t fileSize_ = 0;
    long estimatedLines_ = 0;
    LineEndInfo lineEnd_;
    int progress_ = 0;
    long linesRead_ = 0;
    long errors_ = 0;
    std::string currentLine_;
    std::string lineErrorText_;
    std::FILE* input_ = nullptr;
    std::FILE* errorFile_ = nullptr;
    int errorFileError_ = 0;  // why the first write to the error file was lost (a full disk); 0 when none was
    RunOutcome problems_;

    std::unique_ptr<db::Transaction> batch_;
    // The section's business object, made for the first line and set up anew (AddNew) for each
    // following one, as an entry window adding several rows keeps one.
    std::unique_ptr<SectionObject> object_;
    EntryValues lineValues_;  // the current line's fields, kept to reuse their storage
    long batchFirstLine_ = 0;
    long batchLastLine_ = 0;
    long batchLines_ = 0;
    long batchStored_ = 0;
    long stored_ = 0;
    std::string failure_;
    // What was in the section before the first line was stored: the next row number of a list,
    // 0 for a single-row section.
    long firstNewRow_ = 0;
};

// How an import asked for by the user ended.
enum class ImportOutcome {
    Finished,   // every line was read; some may have been refused (see errors)
    Cancelled,  // stopped by the user; the rows stored before stay
    Failed,     // a preparation step failed (a badly built file...): nothing was read
    NoData,     // the file is empty
};

struct ImportResult : RunOutcome {
    ImportOutcome outcome = ImportOutcome::Failed;
    long linesRead = 0;  // lines handled, blank and refused ones included
    long errors = 0;     // lines not stored
    long removed = 0;    // rows of a cancelled run deleted again at the user's request
    std::filesystem::path errorFile;
    long stored() const { return linesRead - errors - removed; }
};

// An import as the import window runs it: an empty file is refused with "No existen datos para
// importar...", otherwise the file is imported into the format's section of the current
// declaration. The result says how the run ended: "La Importación ha finalizado correctamente!"
// or "... con errores!" after a complete run, with the counts of the error file's summary, in one
// message; after a cancellation "La Importación ha sido cancelada por el Usuario." with the rows
// that stayed, and the user is asked then whether to delete the rows of this run (what was to be
// told before the question is told before it). A failed run says nothing more than the failure
// itself (it is never reported as finished). When lines were refused and the run was not
// cancelled, the error file comes before the end, so that the user reads what went wrong before
// being told how the run ended. The cancel flag, when given, is the one the run looks at.
ImportResult importFile(Context& context, long formatId, const std::filesystem::path& file,
                        std::atomic<bool>* cancel = nullptr);

// A whole number nearest to a / b, halves to the even neighbour (b > 0).
std::uint64_t roundedQuotient(std::uint64_t a, std::uint64_t b);

}  // namespace kapred
