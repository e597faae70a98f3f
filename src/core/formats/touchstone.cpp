// Touchstone 1.x and 2.0 network data: one parameter of the matrix against frequency.
#include "formats/extended_read.h"

#include "formats/dlmread.h"
#include "base/error.h"
#include "base/text.h"

#include <cctype>
#include <cmath>
#include <numbers>
#include <regex>

namespace orvane {

namespace {

std::vector<std::string_view> words(std::string_view s)
{
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
        const std::size_t start = i;
        while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i]))) ++i;
        if (i > start) out.push_back(s.substr(start, i - start));
    }
    return out;
}

std::size_t positiveCount(std::string_view value, const std::string& name, std::size_t line, const char* what)
{
    const std::optional<double> v = parseFiniteNumber(std::string(value));
    if (!v || *v < 1 || *v > 1e9 || *v != std::floor(*v))
        throw DataFileError(name, line, std::string(what) + " must be a whole number above 0, not " + quoteForMessage(value));
    return static_cast<std::size_t>(*v);
}

enum class Layout { Full, Lower, Upper };

}  // namespace

std::size_t touchstonePorts(const std::string& path)
{
    static const std::regex sNp(R"(.*\.[sS]([0-9]{1,2})[pP])");
    std::smatch m;
    if (!std::regex_match(path, m, sNp)) return 0;
    return static_cast<std::size_t>(std::stoul(m[1].str()));
}

DataSet readTouchstone(std::string_view text, const std::string& name, const ReadOptions& options, std::size_t ports,
                       ReadReport report)
{
    report.plain = false;
    report.format = "Touchstone 1";
    double freqScale = 1e9;
    char kind = 'S';
    std::string stored = "MA";
    double reference = 50;
    bool optionSeen = false, v2 = false, inNetwork = false, done = false, inInformation = false, order21 = true;
    bool versionTwoOrder = false;
    Layout matrix = Layout::Full;
    std::optional<std::size_t> expected;
    std::size_t pendingReference = 0;

    std::vector<double> record;
    std::size_t recordLine = 0;
    std::vector<std::vector<double>> records;
    std::vector<std::size_t> recordLines;
    std::size_t perRecord = 0;
    const auto pairsPerRecord = [&] {
        return matrix == Layout::Full ? ports * ports : ports * (ports + 1) / 2;
    };

    std::size_t number = 0;
    for (std::size_t i = 0; i < text.size() && !done;) {
        ++number;
        std::size_t end = text.find_first_of("\r\n", i);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(i, end - i);
        i = end;
        if (i < text.size()) i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        if (const std::size_t bang = line.find('!'); bang != std::string_view::npos) line = line.substr(0, bang);
        const std::vector<std::string_view> w = words(line);
        if (w.empty()) continue;

        if (w[0].front() == '[') {
            const std::size_t close = line.find(']');
            if (close == std::string_view::npos) throw DataFileError(name, number, "keyword without ']'");
            const std::size_t open = line.find('[');
            const std::string key = lowercase(line.substr(open + 1, close - open - 1));
            const std::string_view value = line.substr(close + 1);
            const std::vector<std::string_view> vw = words(value);
            if (key == "end information") { inInformation = false; continue; }
            if (inInformation) continue;
            if (key == "version") {
                v2 = true;
                report.format = "Touchstone 2";
            } else if (key == "number of ports") {
                if (vw.empty()) throw DataFileError(name, number, "[Number of Ports] without a value");
                ports = positiveCount(vw[0], name, number, "[Number of Ports]");
            } else if (key == "two-port data order") {
                const std::string v = vw.empty() ? std::string() : lowercase(vw[0]);
                if (v != "12_21" && v != "21_12") throw DataFileError(name, number, "[Two-Port Data Order] must be 12_21 or 21_12");
                order21 = v == "21_12";
                versionTwoOrder = true;
            } else if (key == "number of frequencies") {
                if (vw.empty()) throw DataFileError(name, number, "[Number of Frequencies] without a value");
                expected = positiveCount(vw[0], name, number, "[Number of Frequencies]");
            } else if (key == "reference") {
                report.referenceImpedance.clear();
                for (std::string_view r : vw)
                    if (const auto v = parseFiniteNumber(std::string(r))) report.referenceImpedance.push_back(*v);
                pendingReference = ports > report.referenceImpedance.size() ? ports - report.referenceImpedance.size() : 0;
            } else if (key == "matrix format") {
                const std::string v = vw.empty() ? std::string() : lowercase(vw[0]);
                matrix = v == "lower" ? Layout::Lower : v == "upper" ? Layout::Upper : Layout::Full;
            } else if (key == "mixed-mode order") {
                throw DataFileError(name, number, "mixed-mode Touchstone data is not supported");
            } else if (key == "begin information") {
                inInformation = true;
            } else if (key == "network data") {
                if (ports == 0) throw DataFileError(name, number, "[Network Data] before [Number of Ports]");
                inNetwork = true;
            } else if (key == "noise data" || key == "end") {
                done = true;
            }
            continue;
        }
        if (inInformation) continue;
        if (w[0].front() == '#') {
            if (optionSeen) continue;  // later option lines are ignored
            optionSeen = true;
            std::vector<std::string_view> opts;
            if (w[0].size() > 1) opts.push_back(w[0].substr(1));
            opts.insert(opts.end(), w.begin() + 1, w.end());
            for (std::size_t k = 0; k < opts.size(); ++k) {
                const std::string o = lowercase(opts[k]);
                if (o == "hz" || o == "khz" || o == "mhz" || o == "ghz") {
                    freqScale = unitScale(o);
                } else if (o == "s" || o == "y" || o == "z" || o == "h" || o == "g") {
                    kind = static_cast<char>(std::toupper(static_cast<unsigned char>(o[0])));
                } else if (o == "db" || o == "ma" || o == "ri") {
                    stored = lowercase(o) == "db" ? "DB" : o == "ma" ? "MA" : "RI";
                } else if (o == "r" && k + 1 < opts.size()) {
                    const auto r = parseFiniteNumber(std::string(opts[++k]));
                    if (!r) throw DataFileError(name, number, "option R without a number");
                    reference = *r;
                } else {
                    throw DataFileError(name, number, "unknown option " + quoteForMessage(opts[k]));
                }
            }
            continue;
        }

        std::vector<double> values;
        for (std::string_view t : w) {
            const auto v = parseFiniteNumber(std::string(t));
            if (!v) throw DataFileError(name, number, quoteForMessage(t) + " is not a number");
            values.push_back(*v);
        }
        if (pendingReference > 0) {
            for (double v : values) report.referenceImpedance.push_back(v);
            pendingReference = values.size() >= pendingReference ? 0 : pendingReference - values.size();
            continue;
        }
        if (v2 && !inNetwork) throw DataFileError(name, number, "numbers before [Network Data]");
        if (ports == 0)
            throw DataFileError(name, 0, "the number of ports is unknown: name the file .s1p, .s2p … or write [Number of Ports].");
        if (perRecord == 0) perRecord = 1 + 2 * pairsPerRecord();
        if (record.empty()) {
            // Version 1 two-port files may end with noise data, whose frequencies start again.
            if (!v2 && ports == 2 && !records.empty() && values[0] <= records.back()[0] && values.size() == 5) break;
            recordLine = number;
        }
        record.insert(record.end(), values.begin(), values.end());
        if (record.size() > perRecord)
            throw DataFileError(name, number,
                                "a frequency of a " + std::to_string(ports) + "-port file takes " + std::to_string(perRecord) +
                                    " numbers; these lines hold " + std::to_string(record.size()));
        if (record.size() == perRecord) {
            records.push_back(std::move(record));
            recordLines.push_back(recordLine);
            record.clear();
        }
    }
    if (!record.empty())
        throw DataFileError(name, recordLine, "the last frequency has " + std::to_string(record.size()) + " of its " +
                                                  std::to_string(perRecord) + " numbers");
    if (records.empty()) throw ColumnCountError(name, 0, "holds no network data.");
    if (expected && *expected != records.size())
        throw DataFileError(name, 0, "[Number of Frequencies] is " + std::to_string(*expected) + " but the file holds " +
                                         std::to_string(records.size()));
    if (!v2 && !versionTwoOrder) order21 = true;
    if (report.referenceImpedance.empty()) report.referenceImpedance.assign(1, reference);

    // The parameter: a letter and two port numbers ("S21", "S10,2", "S3_12").
    std::string param = options.parameter.empty() ? (ports == 1 ? std::string("S11") : std::string("S21")) : options.parameter;
    std::size_t pi = 0, pj = 0;
    {
        static const std::regex form(R"(([A-Za-z])([0-9]+)(?:[,_]([0-9]+))?)");
        std::smatch m;
        bool ok = std::regex_match(param, m, form);
        if (ok) {
            const std::string a = m[2].str(), b = m[3].str();
            if (!b.empty()) {
                pi = std::stoul(a.substr(0, 4)), pj = std::stoul(b.substr(0, 4));
            } else if (a.size() == 2) {
                pi = static_cast<std::size_t>(a[0] - '0'), pj = static_cast<std::size_t>(a[1] - '0');
            } else {
                ok = false;
            }
        }
        if (!ok) throw Error("Parameter " + quoteForMessage(param) + " is not like S21 (or S10,2 beyond nine ports).");
        if (std::toupper(static_cast<unsigned char>(param[0])) != kind)
            throw DataFileError(name, 0, "holds " + std::string(1, kind) + " parameters, not " + quoteForMessage(param));
        if (pi < 1 || pj < 1 || pi > ports || pj > ports)
            throw DataFileError(name, 0, quoteForMessage(param) + " does not exist in a " + std::to_string(ports) + "-port file");
        param = std::string(1, kind) + std::to_string(pi) + (ports > 9 ? "," : "") + std::to_string(pj);
    }
    std::size_t index = 0;
    if (matrix == Layout::Full) {
        index = ports == 2 && order21 ? (pj - 1) * 2 + (pi - 1) : (pi - 1) * ports + (pj - 1);
    } else {
        std::size_t r = pi, c = pj;
        if ((matrix == Layout::Lower && c > r) || (matrix == Layout::Upper && c < r)) std::swap(r, c);
        if (matrix == Layout::Lower) {
            index = r * (r - 1) / 2 + (c - 1);
        } else {
            for (std::size_t k = 1; k < r; ++k) index += ports - k + 1;
            index += c - r;
        }
    }

    using Q = ReadOptions::Quantity;
    DataSet set;
    double offset = 0, previous = 0;
    for (std::size_t k = 0; k < records.size(); ++k) {
        const double a = records[k][1 + 2 * index], b = records[k][2 + 2 * index];
        double mag = 0, db = 0, deg = 0;
        if (stored == "RI") {
            mag = std::hypot(a, b);
            db = 20 * std::log10(mag);
            deg = std::atan2(b, a) * 180 / std::numbers::pi;
        } else if (stored == "MA") {
            mag = a, db = 20 * std::log10(std::abs(a)), deg = b;
        } else {
            db = a, mag = std::pow(10.0, a / 20), deg = b;
        }
        double y = 0;
        switch (options.quantity) {
        case Q::Db:
            if (!std::isfinite(db))
                throw DataFileError(name, recordLines[k], param + " is 0 here, which has no value in dB");
            y = db;
            break;
        case Q::Magnitude: y = mag; break;
        case Q::PhaseDeg: y = deg; break;
        case Q::PhaseUnwrapped:
            if (k > 0) offset -= 360 * std::round((deg - previous) / 360);
            previous = deg;
            y = deg + offset;
            break;
        }
        if (!std::isfinite(y) || !std::isfinite(records[k][0] * freqScale))
            throw DataFileError(name, recordLines[k], "a value out of range of numbers here");
        set.abscissa.push_back(records[k][0] * freqScale);
        set.ordinate.push_back(y);
        set.lines.push_back(recordLines[k]);
    }
    static const char* const names[] = {"dB", "magnitude", "phase (deg)", "unwrapped phase (deg)"};
    report.ports = ports;
    report.parameter = param;
    report.quantity = names[static_cast<int>(options.quantity)];
    report.storedFormat = stored;
    report.xUnit = freqScale == 1 ? "Hz" : freqScale == 1e3 ? "kHz" : freqScale == 1e6 ? "MHz" : "GHz";
    report.xScale = freqScale;
    report.columns = 1 + 2 * pairsPerRecord();
    set.report = std::move(report);
    finishDataSet(name, set, options.mergeDuplicates);
    return set;
}

}  // namespace orvane
