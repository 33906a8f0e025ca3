#pragma once

#include <string>
#include <string_view>

#include "model/strategy_params.h"
#include "storage/text_scanner.h"

class CDataSet;

// Loads a project file into the project: a tolerant line scanner that recognises a line by the
// tag text it contains, takes attribute values by searching for their keys and ignores
// everything else. Once the file is open, reading never fails.
class CProjectReader : public CTextScanner {
  public:
    using CTextScanner::CTextScanner;

    // Reads the whole input into the project (which the caller has emptied). Always true.
    bool Read();

  private:
    void ReadLimits(std::string_view line);
    // Creates a data set and consumes the lines of its block.
    void ReadDataSet(std::string_view line);
    // Fills a record in any of its three roles; absent keys give 0. GN is read too, so stored
    // result sets keep their gains; a line without it gives 0.
    static void ReadRecord(std::string_view line, CStrategyParams& record);
    static void ReadDataPoint(std::string_view line, CDataSet& ds);
    // A point of the date given (as the date setter takes it) and the value text.
    static void AddDataPoint(CDataSet& ds, int32_t day, int32_t month, int32_t year,
                             std::string_view value);
};
