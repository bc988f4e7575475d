#pragma once
// The window's hosting of the Veer control: the selection guide's three turned
// captions are objects of the Veer12 library, created through its registered
// class factory from their stored property streams. The program does not link
// the library: it finds it through the registration stores (ProgID
// "Veer12.Veer.1"; the user's own, then the system's) and loads it at run
// time. A registered library that does not load or whose factory fails is
// passed over for the library beside the program; when none serves, the guide
// gets plain captions drawn by the window itself.
//
// The host owns the controls; destroying it (with the window) removes the
// captions, releases the controls and unloads the library when it allows.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace infil::ui {

class VeerHost {
public:
    static constexpr int kCaptions = 3;

    struct Options {
        // The registration store; empty for the user's own.
        std::string registryFile;
        // Where the program lies; empty for the running program's folder.
        QString programFolder;
        // The system-wide store; empty for the installation's.
        std::string systemRegistryFile;
    };

    VeerHost();
    explicit VeerHost(Options options);
    ~VeerHost();
    VeerHost(const VeerHost&) = delete;
    VeerHost& operator=(const VeerHost&) = delete;

    // Creates the captions in control-array order (0 "hodně" at the top, 1
    // "Vhodných ploch k dispozici", 2 "málo" at the bottom), each filling its
    // parent widget. True when all three came up as controls of a library;
    // otherwise every caption is a plain one. Captions made earlier are
    // released first.
    bool createCaptions(const std::array<QWidget*, kCaptions>& parents);

    // The view of caption i (a control's view or a plain caption), or null.
    QWidget* caption(int index) const;
    // The library the captions come from; empty when none is loaded.
    QString libraryPath() const;
    bool libraryLoaded() const;
    // Why libraries were passed over, for diagnostics (also written to
    // stderr); empty when the first one served.
    QString lastError() const;

    // Removes the captions, releases the controls and the factory, and unloads
    // the library when it says it can be unloaded.
    void release();

private:
    struct Library;
    struct Candidate;
    std::vector<Candidate> candidates();
    std::unique_ptr<Library> loadLibrary(const Candidate& candidate);
    bool createControls(Library& library, const std::array<QWidget*, kCaptions>& parents);
    void createPlainCaptions(const std::array<QWidget*, kCaptions>& parents);
    void passOver(const QString& why);

    Options options_;
    std::unique_ptr<Library> library_;
    std::array<QPointer<QWidget>, kCaptions> views_{};
    QString error_;
};

} // namespace infil::ui
