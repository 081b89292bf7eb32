#pragma once
#include <string>

class PartialTable;
struct Spectrum;

// The spectrum as a picture for reports: the main window's bar graph drawn
// by the window's own drawing code onto an image of the plot frame's size,
// at the compression that fits the whole band, the cursor column on the
// nominal (on the first point when there is none), the columns that hold a
// row of the partial table in red. Main thread; needs no application
// object and no display. This file is the tool's only use of Qt.

// The window's plot frame, 375 x 175 dialog units, in pixels.
inline constexpr int kPlotWidth = 563;
inline constexpr int kPlotHeight = 284;

// Writes the picture as a PNG file at `path`, through a synced temporary
// file so that a failure leaves an earlier file as it was. False when the
// spectrum is not measured or the file could not be written.
bool SaveSpectrumPlot(const std::string& path, const Spectrum& spectrum,
                      const PartialTable& table);

// The same, through the plotting module (libcampanor_plot.so) that the tool
// loads only when a plot is asked for: looked for next to the program, then
// in the library folder of its installation. False with `error` set when the module
// cannot be loaded or the picture cannot be written.
bool SaveSpectrumPlotThroughModule(const std::string& path, const Spectrum& spectrum,
                                   const PartialTable& table, std::string& error);

// The module's entry point, looked up by name.
extern "C" bool CampanorSaveSpectrumPlot(const char* path, const Spectrum* spectrum,
                                         const PartialTable* table);
