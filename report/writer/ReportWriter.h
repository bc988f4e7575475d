#pragma once
// The HTML result report: written from the project record alone.
//
// The page is built as UTF-8 lines, then stored as Windows-1250 with CR LF line
// ends. Texts typed by the user are escaped, so a name like "A < B & C" shows as
// typed instead of becoming markup; program texts pass through the same escape,
// which leaves them unchanged.

#include "Engine.h"
#include "Messages.h"
#include "ProjectRecord.h"
#include "Verdict.h"

#include <string>
#include <string_view>
#include <vector>

namespace infil::report {

// The few states of the main window's controls that the report prints.
struct ReportControls {
    bool chkSelPretok3 = false;   // "Přetok a škrcený odtok" (combined object)
    bool chkSelPretok4 = false;   // "Drenáž" (trench)
    bool chkPredUsaz = false;     // "Předsazené usazování" (basin)
    std::string cboTypSachty;     // text of the shaft-product list ("" when none is picked)
    // The results belong to the inputs printed; otherwise the page says they
    // were not computed for them instead of printing them.
    bool resultsCurrent = true;
    // The plausibility verdict, printed as a section of its own after the results.
    std::vector<verdict::Item> verdict;
};

// The footer's date and time, already in the user's short formats.
struct ReportStamp {
    std::string date;
    std::string time;
};

// Captions of the swale pane's soil options optSelTypPudy2(0) and (1); the
// combined object's options carry the same captions.
inline constexpr std::string_view kSwaleSoilCaptions[] = {"Písek střední až jemný",
                                                          "Slit a písek, slit"};

// Escapes &, <, > and " for HTML text and attribute values.
std::string EscapeHtml(std::string_view text);

// The notes as the record keeps them after a report: every CR LF replaced by "<br>".
std::string DetailsWithBreaks(std::string_view details);

// The lines of the page (UTF-8, without line ends); the notes' CR LF line
// breaks are printed as "<br>". A line that reads an entry outside its list (a
// technology name, a soil option, a drained-area slot) is left out; the others
// are written.
std::vector<std::string> ResultsReportLines(const ProjectRecord& r, const FormState& form,
                                            const ReportControls& controls,
                                            const ReportStamp& stamp);

// The file's bytes: the lines in Windows-1250, each ended by CR LF.
std::string EncodeReport(const std::vector<std::string>& lines);

// ---- the report file ----

// The project name made safe as part of a file name: path separators, the
// characters Windows forbids in names, control characters and invalid UTF-8
// become "_", no ".." remains, and the result is at most 200 bytes.
std::string SafeNamePart(std::string_view projectName);

// The report's file name, "Infil_" + the safe project name ("Infil_" alone for
// an empty name), and its full path in the application folder.
std::string ResultsFileNameFor(std::string_view projectName);
std::string ResultsFilePathFor(std::string_view appDir, std::string_view projectName);

// The name part of a path when that file exists, else "".
std::string ExistingFileName(std::string_view path);

enum class WriteStatus {
    Written, // the file holds the current report
    NoPath,  // ResultsFilePath was empty: nothing written, nothing said
    InUse,   // another program holds the file: the in-use message was shown
    Failed   // the file could not be written: a message said why
};

struct WriteOutcome {
    WriteStatus status = WriteStatus::Failed;
    std::string reason; // Czech, for Failed and InUse
    std::string inUseName; // InUse: the name of the file another program holds
    bool written() const { return status == WriteStatus::Written; }
};

// Writes the report to r.ResultsFilePath. Only a Written outcome means the file
// is current; the caller must not show the file otherwise. Messages go to
// `messages`.
WriteOutcome WriteResultsReport(const ProjectRecord& r, const FormState& form,
                                const ReportControls& controls, const ReportStamp& stamp,
                                MessagePort& messages);

// Replaces a file's content with `bytes`. False on failure, with the reason in
// Czech in *reason ("přístup odepřen", "na disku není dost místa" ...).
bool WriteFileBytes(const std::string& path, std::string_view bytes, std::string* reason);

// Deletes the report file; a missing file or an empty path is no error.
void DeleteResultsFile(std::string_view path);

// A saved copy of the page refers to its logo in `folder` beside it instead of
// the application's Webs folder. `folder` is a UTF-8 file name; it is written
// percent-encoded, so blanks and "#" in it do no harm.
std::string RelinkLogo(std::string_view pageBytes, std::string_view folder);

// The logo reference as the report writes it.
inline constexpr std::string_view kLogoSrc = "Webs\\Desc_soubory\\logo.gif";

} // namespace infil::report
