#include "formats/read_choice.h"

#include <filesystem>
#include <stdexcept>
#include <vector>

namespace orvane {

namespace {

std::vector<std::string> split(const std::string& s, char sep)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t k = s.find(sep, start);
        parts.push_back(s.substr(start, k == std::string::npos ? std::string::npos : k - start));
        if (k == std::string::npos) return parts;
        start = k + 1;
    }
}

bool isKey(const std::string& key)
{
    return key == "columns" || key == "param" || key == "quantity" || key == "x-unit" || key == "merge-duplicates";
}

// A column given by number (1-based) or by its title.
void setColumn(std::optional<std::size_t>& number, std::optional<std::string>& name, const std::string& text)
{
    number.reset();
    name.reset();
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos) {
        const unsigned long n = text.size() > 6 ? 0 : std::stoul(text);
        if (n == 0) throw std::invalid_argument("column " + text + " does not exist: columns count from 1");
        number = n;
    } else if (!text.empty()) {
        name = text;
    } else {
        throw std::invalid_argument("an empty column");
    }
}

}  // namespace

void applyReadChoice(ReadOptions& options, const std::string& key, const std::string& value)
{
    if (key == "columns") {
        const std::vector<std::string> xy = split(value, ',');
        if (xy.size() != 2) throw std::invalid_argument("columns takes X,Y (numbers from 1 or column titles), not " + value);
        setColumn(options.xColumn, options.xName, xy[0]);
        setColumn(options.yColumn, options.yName, xy[1]);
    } else if (key == "param") {
        options.parameter = value;
    } else if (key == "quantity") {
        using Q = ReadOptions::Quantity;
        if (value == "db") options.quantity = Q::Db;
        else if (value == "mag") options.quantity = Q::Magnitude;
        else if (value == "deg") options.quantity = Q::PhaseDeg;
        else if (value == "deg-unwrapped") options.quantity = Q::PhaseUnwrapped;
        else throw std::invalid_argument("quantity is db, mag, deg or deg-unwrapped, not " + value);
    } else if (key == "x-unit") {
        options.xUnit = value;
    } else if (key == "merge-duplicates") {
        if (!value.empty() && value != "yes" && value != "no")
            throw std::invalid_argument("merge-duplicates is yes or no, not " + value);
        options.mergeDuplicates = value != "no";
    } else {
        throw std::invalid_argument("unknown choice " + key);
    }
}

FileArgument parseFileArgument(const std::string& argument, const ReadOptions& defaults)
{
    std::error_code ec;
    if (std::filesystem::exists(argument, ec)) return {argument, defaults};
    for (std::size_t colon = argument.find(':'); colon != std::string::npos; colon = argument.find(':', colon + 1)) {
        const std::vector<std::string> parts = split(argument.substr(colon + 1), ':');
        bool choices = true;
        for (const std::string& part : parts) {
            const std::size_t eq = part.find('=');
            choices = choices && isKey(part.substr(0, eq)) && (eq != std::string::npos || part == "merge-duplicates");
        }
        if (!choices) continue;
        FileArgument file{argument.substr(0, colon), defaults};
        for (const std::string& part : parts) {
            const std::size_t eq = part.find('=');
            applyReadChoice(file.options, part.substr(0, eq), eq == std::string::npos ? "" : part.substr(eq + 1));
        }
        return file;
    }
    return {argument, defaults};
}

}  // namespace orvane
