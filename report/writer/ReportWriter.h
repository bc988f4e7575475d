#pragma once
// The HTML result report: written from the project record alone.
//
// The page is built as UTF-8 lines, then stored as Windows-1250 with CR LF line
// ends (ReportFile.h writes it). Texts typed by the user are escaped, so a name like "A < B & C" shows as
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

// A diagram of the report's last section: a picture beside the page, or the
// words that stand in its place.
struct ReportDiagram {
    std::string title;
    std::string picture; // the picture's file name beside the page (UTF-8); empty: the words instead
    int width = 0;       // the size the page shows it at, px
    int height = 0;
    std::string message; // without a picture: what the page says instead
};

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
    // The design's diagrams, the section after the verdict; without any there
    // is no such section.
    std::vector<ReportDiagram> diagrams;
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

// A file name as part of a URL: every byte but letters, digits and "-._~"
// percent-encoded, so the name stays plain ASCII in any code page.
std::string UrlEncoded(std::string_view name);

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

// The logo reference as the report writes it.
inline constexpr std::string_view kLogoSrc = "Webs\\Desc_soubory\\logo.gif";

} // namespace infil::report
