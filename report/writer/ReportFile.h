#pragma once
// The report's file: its name, writing it and deleting it, and saved copies.
//
// Every file is written whole under a temporary name in its folder and then
// renamed over the old one. Nothing already standing at the name is ever
// opened for writing, so a link there cannot redirect the bytes elsewhere, a
// pipe there cannot hold the program up, and a failure (a full disk) leaves the
// old file as it was and no half-written one.

#include "ReportWriter.h"

#include <string>
#include <string_view>
#include <vector>

namespace infil::report {

// The project name made safe as part of a file name: path separators, the
// characters Windows forbids in names, control characters and invalid UTF-8
// become "_", no ".." remains, and the result is at most 200 bytes.
std::string SafeNamePart(std::string_view projectName);

// The report's file name, "Infil_" + the safe project name ("Infil_" alone for
// an empty name), and its full path in the report folder.
std::string ResultsFileNameFor(std::string_view projectName);
std::string ResultsFilePathFor(std::string_view folder, std::string_view projectName);

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

// Writes all of `bytes` to an open file, again after a signal; false with
// errno set.
bool WriteAllBytes(int fd, std::string_view bytes);

// Replaces the file at `path` by a new regular file holding `bytes` (see
// above). False on failure, with the reason in Czech in *reason ("přístup
// odepřen", "na disku není dost místa" ...); the old file is then untouched.
// With `durable`, the bytes are on the disk before the file takes the name.
bool WriteFileBytes(const std::string& path, std::string_view bytes, std::string* reason,
                    bool durable = false);

// The reason of a failed system call, in Czech, for the messages.
std::string FileErrorReason(int error);

// Deletes the report file; a missing file or an empty path is no error.
void DeleteResultsFile(std::string_view path);

// A saved copy of the page refers to its logo in `folder` beside it instead of
// the application's Webs folder. `folder` is a UTF-8 file name; it is written
// percent-encoded, so blanks and "#" in it do no harm.
std::string RelinkLogo(std::string_view pageBytes, std::string_view folder);

// The pictures the page shows from beside itself (the diagrams; the logo lies
// in a folder): their file names, decoded, each once. A name that would lead
// into or out of a folder is none of them.
std::vector<std::string> PicturesBeside(std::string_view pageBytes);
// A saved copy of the page refers to those pictures in `folder` beside it.
std::string RelinkPicturesBeside(std::string_view pageBytes, std::string_view folder);

} // namespace infil::report
