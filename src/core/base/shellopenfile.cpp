#include "base/shellopenfile.h"

#include <filesystem>

namespace orvane {

void shellopenfile(const std::vector<ExtensionValue>& arguments)
{
    std::vector<ExtensionValue> inputs;
    inputs.reserve(arguments.size() + 1);
    inputs.emplace_back(std::filesystem::current_path().string());
    inputs.insert(inputs.end(), arguments.begin(), arguments.end());
    callExtension("shellopenfile", inputs);
}

void shellopenfile(const std::string& document)
{
    shellopenfile(std::vector<ExtensionValue>{document});
}

void shellopenfileIn(const std::string& folder, const std::string& document)
{
    callExtension("shellopenfile", {folder, document});
}

}  // namespace orvane
