#include "formats/data_set.h"

#include "formats/dlmread.h"
#include "base/interp.h"
#include "base/error.h"
#include "base/text.h"

namespace orvane {

std::optional<DataSet> readDataSet(const std::string& path)
{
    const DataTable table = readDataTable(path);
    if (table.values.cols != 2) return std::nullopt;
    DataSet set{table.values.column(0), table.values.column(1)};
    const std::size_t bad = findUnusableAbscissa(set.abscissa);
    if (bad != static_cast<std::size_t>(-1)) {
        const double now = set.abscissa[bad], before = set.abscissa[bad - 1];
        const std::string what = now < before
            ? "the abscissa " + num2str(now) + " is smaller than the one before it (" + num2str(before) + "); abscissae must increase."
            : "the last sample repeats the abscissa " + num2str(now) + " of the sample before it.";
        throw DataFileError(path, table.lines[bad], what);
    }
    return set;
}

}  // namespace orvane
