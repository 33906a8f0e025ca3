#pragma once

#include <string>

struct CLandscape;
class CProject;

// The landscape as CSV: a header "ML,RC,BL,gain,trades", then one line per cell, length by
// length, ratio by ratio and level by level; the gain with 17 significant digits (so it reads
// back to the same value), empty where the cell has none; trades 1 where its set enters.
std::string LandscapeCsv(const CLandscape& landscape);

// Writes the landscape of the project's last optimisation as a heat map PNG to `pngPath` (the
// slice at the ratio of result set `applied`) and as CSV to `csvPath` (each only when not
// empty), with the primary's result sets marked and result set `applied` (from 1; 0 for none)
// circled. False, with `error`, when a file could
// not be written. Starts Qt on its offscreen platform for the picture.
bool WriteLandscapeFiles(const CProject& project, const CLandscape& landscape, int applied,
                         const std::string& pngPath, const std::string& csvPath,
                         std::string& error);
