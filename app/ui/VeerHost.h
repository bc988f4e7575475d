#pragma once
// The window's hosting of the Veer control: the selection guide's three turned
// captions are objects of the Veer12 library, created through its registered
// class factory from their stored property streams. The program does not link
// the library: it finds it through the user's registration store (ProgID
// "Veer12.Veer.1"), or beside the program when it is not registered there,
// and loads it at run time. When no library loads, no caption is created and
// the guide shows without them.
//
// The host owns the controls; destroying it (with the window) removes the
// captions, releases the controls and unloads the library when it allows.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>
#include <string>

namespace infil::ui {

class VeerHost {
public:
    static constexpr int kCaptions = 3;

    struct Options {
        // The registration store; empty for the user's own.
        std::string registryFile;
        // Where the program lies; empty for the running program's folder.
        QString programFolder;
    };

    VeerHost();
    explicit VeerHost(Options options);
    ~VeerHost();
    VeerHost(const VeerHost&) = delete;
    VeerHost& operator=(const VeerHost&) = delete;

    // Creates the captions in control-array order (0 "hodně" at the top, 1
    // "Vhodných ploch k dispozici", 2 "málo" at the bottom), each filling its
    // parent widget. True when all three came up; a caption that could not be
    // made is simply missing. Captions made earlier are released first.
    bool createCaptions(const std::array<QWidget*, kCaptions>& parents);

    // The view of caption i, or null.
    QWidget* caption(int index) const;
    // The library the captions come from; empty when none is loaded.
    QString libraryPath() const;
    bool libraryLoaded() const;
    // Why the last creation failed, for diagnostics; empty after success.
    QString lastError() const;

    // Removes the captions, releases the controls and the factory, and unloads
    // the library when it says it can be unloaded.
    void release();

private:
    struct Library;
    bool loadLibrary();

    Options options_;
    std::unique_ptr<Library> library_;
    std::array<QPointer<QWidget>, kCaptions> views_{};
    QString error_;
};

} // namespace infil::ui
