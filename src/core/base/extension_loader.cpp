#include "base/extension_loader.h"

#include "base/error.h"
#include "base/extension_api.h"

#include <csetjmp>
#include <cstdlib>
#include <deque>
#include <map>
#include <mutex>
#include <new>
#include <string_view>

#include <dlfcn.h>

#ifndef ORVANE_EXTENSION_INSTALL_DIR
#define ORVANE_EXTENSION_INSTALL_DIR "../lib/orvane"
#endif

// The runtime's record of one call of an extension entry.
struct orvane_call {
    std::jmp_buf back;                 // where raise_error returns to
    std::deque<std::string> strings;   // handed out by text(); freed when the call returns
    std::string identifier, message;   // the error reported
    bool errorLost = false;            // no memory to keep the error
};

namespace orvane {
namespace {

// Extension names as callers use them, and the library that holds each.
struct KnownExtension {
    std::string_view name;
    std::string_view file;
};
constexpr KnownExtension kExtensions[] = {
    {"shellopenfile", "liblaunchdoc.so"},
};

const ExtensionValue& valueOf(const orvane_value* value)
{
    return *reinterpret_cast<const ExtensionValue*>(value);
}

int isText(orvane_call*, const orvane_value* value)
{
    return value != nullptr && valueOf(value).isText();
}

const char* textOf(orvane_call* call, const orvane_value* value)
{
    if (value == nullptr || !valueOf(value).isText()) return nullptr;
    try {
        return call->strings.emplace_back(valueOf(value).text()).c_str();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void keepError(orvane_call* call, const char* identifier, const char* message) noexcept
{
    try {
        call->identifier = identifier != nullptr ? identifier : "";
        call->message = message != nullptr ? message : "";
    } catch (const std::bad_alloc&) {
        call->errorLost = true;
    }
}

// Leaves the extension's frames by longjmp: they are C frames, and this one holds nothing
// that needs a destructor.
[[noreturn]] void raiseError(orvane_call* call, const char* identifier, const char* message) noexcept
{
    keepError(call, identifier, message);
    std::longjmp(call->back, 1);
}

// Calls the entry with a way back for raise_error. Nothing in this frame may need a
// destructor, since raise_error jumps back into it; false when the extension reported an error.
bool runEntry(orvane_extension_entry entry, int nrhs, const orvane_value** prhs, orvane_runtime* runtime) noexcept
{
    orvane_value* noOutput[1] = {nullptr};
    if (setjmp(runtime->call->back) != 0) return false;
    entry(0, noOutput, nrhs, prhs, runtime);
    return true;
}

const KnownExtension* known(const std::string& name)
{
    for (const KnownExtension& e : kExtensions)
        if (e.name == name) return &e;
    return nullptr;
}

std::vector<std::filesystem::path> searchFolders()
{
    std::vector<std::filesystem::path> folders;
    if (const char* list = std::getenv("ORVANE_EXTENSION_PATH")) {
        std::string_view rest(list);
        while (!rest.empty()) {
            const std::size_t colon = rest.find(':');
            const std::string_view folder = rest.substr(0, colon);
            if (!folder.empty()) folders.emplace_back(folder);
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
    }
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const std::filesystem::path here = program.parent_path();
        folders.push_back(here / ORVANE_EXTENSION_INSTALL_DIR);
        folders.push_back(here / "../lib");
        folders.push_back(here);
    }
    return folders;
}

// Loads each extension once and keeps it loaded for the rest of the run.
orvane_extension_entry entryOf(const std::string& name)
{
    static std::mutex mutex;
    static std::map<std::string, orvane_extension_entry> loaded;
    const std::lock_guard<std::mutex> lock(mutex);
    if (const auto it = loaded.find(name); it != loaded.end()) return it->second;

    const KnownExtension* extension = known(name);
    if (extension == nullptr)
        throw ExtensionError("orvane:extension:unknown", "There is no extension named " + name + ".");
    const std::filesystem::path file = findExtension(name);
    if (file.empty())
        throw ExtensionError("orvane:extension:notFound", "The extension " + name + " (" + std::string(extension->file) +
                                                              ") was not found beside the program.");
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = dlerror();
        throw ExtensionError("orvane:extension:notLoaded",
                             "The extension " + name + " could not be loaded: " + (why ? why : file.string()));
    }
    void* symbol = dlsym(library, ORVANE_EXTENSION_ENTRY);
    if (symbol == nullptr) {
        dlclose(library);
        throw ExtensionError("orvane:extension:noEntry", "The extension " + name + " (" + file.string() +
                                                             ") has no entry " ORVANE_EXTENSION_ENTRY ".");
    }
    const auto entry = reinterpret_cast<orvane_extension_entry>(symbol);
    loaded.emplace(name, entry);
    return entry;
}

}  // namespace

std::filesystem::path findExtension(const std::string& name)
{
    const KnownExtension* extension = known(name);
    if (extension == nullptr) return {};
    return findModuleFile(std::string(extension->file));
}

std::filesystem::path findModuleFile(const std::string& name)
{
    for (const std::filesystem::path& folder : searchFolders()) {
        std::error_code ec;
        const std::filesystem::path file = folder / name;
        if (!std::filesystem::is_regular_file(file, ec)) continue;
        const std::filesystem::path tidy = std::filesystem::weakly_canonical(file, ec);
        return ec ? file : tidy;
    }
    return {};
}

void callExtension(const std::string& name, const std::vector<ExtensionValue>& inputs)
{
    const orvane_extension_entry entry = entryOf(name);
    std::vector<const orvane_value*> prhs;
    prhs.reserve(inputs.size());
    for (const ExtensionValue& v : inputs) prhs.push_back(reinterpret_cast<const orvane_value*>(&v));

    orvane_call call;
    orvane_runtime runtime{ORVANE_EXTENSION_ABI, &call, &isText, &textOf, &raiseError};
    if (runEntry(entry, static_cast<int>(prhs.size()), prhs.data(), &runtime)) return;
    if (call.errorLost) throw std::bad_alloc();
    throw ExtensionError(call.identifier, call.message);
}

}  // namespace orvane
