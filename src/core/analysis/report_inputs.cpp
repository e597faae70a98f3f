#include "analysis/report.h"

#include "base/sha256.h"
#include "base/shellopenfile.h"
#include "formats/file_write.h"

#include <system_error>

namespace orvane {

std::vector<ReportInput> describeInputs(const std::vector<std::string>& names, const SetList& Mf, const SetList& Md,
                                        const std::vector<ReadReport>& reads)
{
    std::vector<ReportInput> inputs;
    for (std::size_t k = 0; k < Md.size(); ++k) {
        ReportInput in;
        in.name = k < names.size() && !names[k].empty() ? names[k] : "Dataset" + std::to_string(k + 1);
        if (k < names.size() && !names[k].empty()) {
            std::error_code ec;
            const std::uintmax_t size = std::filesystem::file_size(names[k], ec);
            if (!ec) {
                try {
                    in.sha256 = sha256OfFile(names[k]);
                    in.bytes = size;
                } catch (const Error&) {
                    // Unreadable now: the report says so rather than failing the analysis.
                }
            }
        }
        if (k < Mf.size()) in.abscissa = Mf[k];
        in.ordinate = Md[k];
        if (k < reads.size()) in.read = reads[k];
        inputs.push_back(std::move(in));
    }
    return inputs;
}

std::filesystem::path writeReport(const std::filesystem::path& folder, const AnalysisSettings& settings,
                                  const AnalysisResult& result, const ReportFacts& facts)
{
    const std::filesystem::path path = folder / kReportFile;
    writeFileAtomically(path, reportPage(settings, result, facts));
    return path;
}

void openReport(const std::filesystem::path& analysisFolder)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(analysisFolder / kReportFile, ec))
        throw Error("The folder \"" + analysisFolder.string() + "\" holds no " + kReportFile +
                    ": its analysis was run without a report or by an older version.");
    shellopenfileIn(analysisFolder.string(), kReportFile);
}

const char* programVersion() { return ORVANE_VERSION; }

}  // namespace orvane
