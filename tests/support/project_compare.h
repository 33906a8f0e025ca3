#pragma once

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>

#include "analysis/potential_gains.h"
#include "analysis/simulation.h"
#include "charts/project_view.h"
#include "model/project.h"
#include "storage/project_reader.h"
#include "storage/project_writer.h"

// Whether a project reads back as itself: the project a file gives, saved and read again, is
// the same project field by field, and the commands compute the same from it. Shared by the
// tests and the round-trip fuzz target.

// Doubles are the same when their bits are (so -0 is not 0), or when both are not a number.
inline bool SameReal(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

inline std::string DateText(const CDataPoint& p) {
    return std::to_string(p.m_month) + "." + std::to_string(p.m_day) + "." +
           std::to_string(p.m_year) + " (" + std::to_string(p.m_serial) + ")";
}

inline std::string DateDifference(const std::string& what, const CDataPoint& a,
                                  const CDataPoint& b) {
    const bool same = a.m_serial == b.m_serial && a.m_year == b.m_year && a.m_month == b.m_month &&
                      a.m_day == b.m_day;
    return same ? std::string() : what + ": " + DateText(a) + " / " + DateText(b);
}

inline std::string RealDifference(const std::string& what, double a, double b) {
    return SameReal(a, b) ? std::string()
                          : what + ": " + std::to_string(a) + " / " + std::to_string(b);
}

// The fields a record stores in its role: a file's PARAMETERS line holds ML RC BL IN TT GN,
// RANGE ML MU RR BL BI, RESULT ML RC BC GN. The others mean nothing in that role (a RANGE record
// has no input), and no save keeps them.
enum class Role { Parameters, Range, Result };

inline std::string RecordDifference(const std::string& what, const CStrategyParams& a,
                                    const CStrategyParams& b, Role role) {
    const bool range = role == Role::Range;
    const bool ints =
        a.ML == b.ML && a.BL == b.BL && (!range || (a.MU == b.MU && a.RR == b.RR && a.BI == b.BI));
    if (!ints) {
        return what + ": a whole number differs";
    }
    const bool parameters = role == Role::Parameters;
    for (const auto& [key, stored, x, y] : {std::tuple{"RC", !range, a.RC, b.RC},
                                            {"IN", parameters, a.IN, b.IN},
                                            {"TT", parameters, a.TT, b.TT},
                                            {"GN", !range, a.GN, b.GN}}) {
        if (std::string d = RealDifference(what + " " + key, x, y); stored && !d.empty()) {
            return d;
        }
    }
    return std::string();
}

inline std::string DataSetDifference(const std::string& what, const CDataSet& a,
                                     const CDataSet& b) {
    if (a.m_name != b.m_name || a.m_currency != b.m_currency || a.m_comment != b.m_comment) {
        return what + ": texts differ";
    }
    if (std::string d =
            RecordDifference(what + " PARAMETERS", a.m_params, b.m_params, Role::Parameters);
        !d.empty()) {
        return d;
    }
    if (a.m_results.size() != b.m_results.size() || a.Points().size() != b.Points().size()) {
        return what + ": counts of results or points differ";
    }
    for (size_t i = 0; i < a.m_results.size(); ++i) {
        const std::string where = what + " RESULT " + std::to_string(i + 1);
        if (std::string d = RecordDifference(where, a.m_results[i], b.m_results[i], Role::Result);
            !d.empty()) {
            return d;
        }
    }
    for (size_t i = 0; i < a.Points().size(); ++i) {
        const CDataPoint& p = a.Points()[i];
        const CDataPoint& q = b.Points()[i];
        const bool same = p.m_serial == q.m_serial && p.m_year == q.m_year &&
                          p.m_month == q.m_month && p.m_day == q.m_day &&
                          SameReal(p.GetValue(Raw), q.GetValue(Raw));
        if (!same) {
            return what + " point " + std::to_string(i + 1) + ": " + DateText(p) + " " +
                   std::to_string(p.GetValue(Raw)) + " / " + DateText(q) + " " +
                   std::to_string(q.GetValue(Raw));
        }
    }
    return std::string();
}

// The first difference between what the two projects store, empty when there is none.
inline std::string ProjectDifference(const CProject& a, const CProject& b) {
    for (const auto& [what, x, y] :
         {std::tuple{"window start", &a.m_viewLimits.start, &b.m_viewLimits.start},
          {"window end", &a.m_viewLimits.end, &b.m_viewLimits.end},
          {"history start", &a.m_historyLimits.start, &b.m_historyLimits.start},
          {"history end", &a.m_historyLimits.end, &b.m_historyLimits.end}}) {
        if (std::string d = DateDifference(what, *x, *y); !d.empty()) {
            return d;
        }
    }
    if (std::string d = RecordDifference("RANGE", a.m_range, b.m_range, Role::Range); !d.empty()) {
        return d;
    }
    if (a.DataSetCount() != b.DataSetCount()) {
        return "data set counts differ";
    }
    for (int i = 0; i < a.DataSetCount(); ++i) {
        const std::string what = "data set " + std::to_string(i + 1);
        const size_t k = static_cast<size_t>(i);
        if (std::string d = DataSetDifference(what, *a.DataSets()[k], *b.DataSets()[k]);
            !d.empty()) {
            return d;
        }
    }
    return std::string();
}

// What info and simulate compute from a project that was just read: the view axis of the
// current data set, the potential gains of every data set, the simulation's output, gain,
// Net line and market flags, and the history axis.
inline std::string Outcome(CProject& project) {
    SetCurrentDataSet(project, project.Current());
    std::string text;
    const auto add = [&text](double x) {
        char number[40];
        std::snprintf(number, sizeof number, "%.17g ", x);
        text += number;
    };
    add(project.m_viewLimits.top);
    add(project.m_viewLimits.bottom);
    for (const auto& ds : project.DataSets()) {
        ComputePotentialGains(*ds);
        for (double gain : ds->m_gains) {
            add(gain);
        }
    }
    // As Update does (CProjectCommands::Simulate without a host), without the digest of the
    // file text that a command object takes when it is made.
    if (CDataSet* current = project.Current()) {
        ComputePotentialGains(*current);
    }
    Simulate(project, nullptr);
    ScaleHistory(project);
    if (const CDataSet* primary = project.Primary()) {
        add(primary->m_params.OUT);
        add(primary->m_params.GN);
        for (const CDataPoint& p : primary->Points()) {
            add(p.GetValue(Net));
            text += std::to_string(p.m_flag);
        }
    }
    add(project.m_historyLimits.top);
    add(project.m_historyLimits.bottom);
    return text;
}

inline void ReadProjectText(CProject& project, const std::string& text) {
    CProjectReader reader(project);
    reader.OpenText(text, "project.xml");
    reader.Read();
}

// Reads `text`, saves what it gave and reads that again: the first difference of the two
// projects, of what the commands compute from them, or of the texts of two saves; empty when the
// project read back as itself.
inline std::string RoundTripDifference(const std::string& text) {
    CProject first;
    ReadProjectText(first, text);
    const std::string saved = ProjectText(first);
    CProject second;
    ReadProjectText(second, saved);
    if (std::string d = ProjectDifference(first, second); !d.empty()) {
        return d;
    }
    if (ProjectText(second) != saved) {
        return "a second save writes other text";
    }
    return Outcome(first) == Outcome(second) ? std::string()
                                             : "the commands compute different results";
}
