#include "analysis/picture_backend.h"

#include "base/error.h"
#include "base/extension_loader.h"

#include <dlfcn.h>

namespace orvane {

std::unique_ptr<PictureBackend> loadPictureBackend(bool qtMessages)
{
    const std::filesystem::path file = findModuleFile(kPictureModuleFile);
    if (file.empty())
        throw Error(std::string("Pictures cannot be drawn: the picture module ") + kPictureModuleFile +
                    " was not found beside the program.");
    // Never closed: Qt cannot be unloaded safely once it has started.
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = dlerror();
        throw Error("Pictures cannot be drawn: the picture module could not be loaded: " +
                    std::string(why ? why : file.string()));
    }
    void* symbol = dlsym(library, kPictureModuleEntry);
    if (symbol == nullptr)
        throw Error("Pictures cannot be drawn: " + file.string() + " has no entry " + kPictureModuleEntry + ".");
    PictureBackend* backend = reinterpret_cast<PictureBackendFactory>(symbol)(kPictureBackendVersion, qtMessages);
    if (backend == nullptr)
        throw Error("Pictures cannot be drawn: " + file.string() + " belongs to another version of the program.");
    return std::unique_ptr<PictureBackend>(backend);
}

}  // namespace orvane
