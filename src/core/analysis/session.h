// The state shared by the windows and steps of one program run.
#pragma once

#include "formats/data_set.h"
#include "formats/mat_compression.h"
#include "method/common_grid.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>

namespace orvane {

inline constexpr std::size_t kDataSlots = 8;  // N_Data_MAX: 4 markers × 2 colours

struct Session {
    std::string startFolder;                        // start folder; every writer returns here
    int D = -1;                                 // 1 time domain, 0 frequency domain, -1 unset
    int T = 0;                                  // 1 time/magnitude, 2 phase, 0 none or browsing
    std::size_t N_DATA = 0;                     // data sets of the analysis, 2 … 8
    std::string S_MARKER;                       // colour letter per set
    std::string thrs;                           // chart threshold in percent, as text
    std::string figureFormat;                         // file type of saved figures
    int saveCharts = 0;                              // 1: charts into new windows and files
    std::array<std::string, kDataSlots> dataset;  // dataset.data: chosen file per slot
    std::array<ReadOptions, kDataSlots> readOptions;  // how to read each slot's file (defaults: as plain text)
    std::array<std::string, kDataSlots> readSummaries;  // what reading each file found, empty when plain
    // What the sets are compared with: 0 their average, k the file of slot k (1-based), which
    // the data-loading step sets.
    std::size_t reference = 0;
    std::string outputFolder;                        // output folder of the analysis
    std::string analysisFolderName;                           // analysis sub-folder inside outputFolder
    // State of the results and chart windows that is not a window itself; the windows
    // (FigOrig, FigOrig1, handles1, handles2, lgnd1) are kept by the window layer.
    std::string folder1;                        // results folder being browsed
    std::string Dest1;                          // path chosen in the results window
    // C and nmdr2 are never assigned: they stay empty, and every comparison with them is false.

    // Settings of this program beyond the method's globals.
    std::size_t maxGridPoints = kDefaultMaxGridPoints;  // largest common grid accepted
    GridChoice grid;                                    // the common grid's kind and points
    std::string startThreshold = "85";                  // thrs at the start of an analysis
    std::string startFigureFormat = "fig";              // figureFormat at the start of an analysis
    bool writeReport = true;                            // report.html in every analysis folder
    std::optional<bool> gdmWeighting;                   // the last analysis's answer, for its report
    // Result and figure MAT-files deflated with zlib (orvane-batch --compress); the desktop
    // program keeps the default.
    matfile::Compression matCompression = matfile::Compression::None;

    // The defaults every analysis starts from.
    void setAnalysisDefaults()
    {
        S_MARKER = "rbgycmbkk";
        N_DATA = 0;
        saveCharts = 1;
        thrs = startThreshold;
        figureFormat = startFigureFormat;
        dataset.fill(std::string());
        readOptions.fill(ReadOptions());
        readSummaries.fill(std::string());
        reference = 0;
        gdmWeighting.reset();
    }
};

}  // namespace orvane
