#include "analysis/series_filters.h"

#include <deque>
#include <vector>

#include "model/data_set.h"

#include <cmath>
#include <vector>

namespace {

// Sliding sums of the points inside the averaging window, kept relative to a base serial that
// is moved up to the current point at least once per window length. Keeping offsets small
// bounds the cancellation in the weighted sum; rebuilding the sums at each move bounds the drift
// of adding and removing terms. Non-finite values are counted instead of summed, so that one
// infinity or NaN does not spoil the sums after it has left the window.
class CWindowSums {
  public:
    void Rebase(int64_t base, std::span<const int32_t> serials, std::span<const double> in,
                size_t first, size_t last) {
        m_base = base;
        m_sum = m_offsetSum = 0.0;
        m_count = m_serialSum = 0;
        m_nan = m_posInf = m_negInf = 0;
        for (size_t j = first; j < last; ++j) {
            Add(serials[j], in[j]);
        }
    }

    void Add(int64_t serial, double x) { Update(serial, x, +1); }
    void Remove(int64_t serial, double x) { Update(serial, x, -1); }

    // The weighted average for a point at `serial` over window length `days`.
    double Average(int64_t serial, int64_t days) const {
        if (m_nan > 0 || (m_posInf > 0 && m_negInf > 0)) {
            return std::nan("");
        }
        if (m_posInf > 0) {
            return INFINITY;
        }
        if (m_negInf > 0) {
            return -INFINITY;
        }
        // Weight of a point q: days - (serial - q) = (days - (serial - base)) + (q - base).
        int64_t lead = days - (serial - m_base);
        double numerator = static_cast<double>(lead) * m_sum + m_offsetSum;
        int64_t denominator = lead * m_count + m_serialSum;
        return numerator / static_cast<double>(denominator);
    }

  private:
    void Update(int64_t serial, double x, int sign) {
        int64_t offset = serial - m_base;
        m_count += sign;
        m_serialSum += sign * offset;
        if (std::isnan(x)) {
            m_nan += sign;
        } else if (std::isinf(x)) {
            (x > 0 ? m_posInf : m_negInf) += sign;
        } else if (sign > 0) {
            m_sum += x;
            m_offsetSum += static_cast<double>(offset) * x;
        } else {
            m_sum -= x;
            m_offsetSum -= static_cast<double>(offset) * x;
        }
    }

    int64_t m_base = 0;
    double m_sum = 0.0;
    double m_offsetSum = 0.0;
    int64_t m_count = 0;
    int64_t m_serialSum = 0;
    int64_t m_nan = 0;
    int64_t m_posInf = 0;
    int64_t m_negInf = 0;
};

}  // namespace

void WeightedAverageSeries(std::span<const int32_t> serials, std::span<const double> in,
                           std::span<double> out, int32_t days) {
    const size_t n = serials.size();
    if (days <= 1) {
        for (size_t i = 0; i < n; ++i) {
            out[i] = in[i];
        }
        return;
    }
    // The input is read after earlier outputs are written, so keep it when both are one array.
    std::vector<double> copy;
    if (in.data() == out.data()) {
        copy.assign(in.begin(), in.end());
        in = copy;
    }
    const int64_t length = days;
    CWindowSums sums;
    size_t first = 0;
    int64_t base = 0;
    for (size_t i = 0; i < n; ++i) {
        const int64_t serial = serials[i];
        while (serial - serials[first] >= length) {
            sums.Remove(serials[first], in[first]);
            ++first;
        }
        if (i == 0 || serial - base >= length) {
            base = serial;
            sums.Rebase(base, serials, in, first, i);
        }
        sums.Add(serial, in[i]);
        out[i] = sums.Average(serial, length);
    }
}

void DifferentiateSeries(std::span<const int32_t> serials, std::span<const double> in,
                         std::span<double> out) {
    const size_t n = serials.size();
    if (n == 0) {
        return;
    }
    double previous = in[0];
    out[0] = 0.0;
    for (size_t i = 1; i < n; ++i) {
        double current = in[i];
        double elapsed = static_cast<double>(int64_t{serials[i]} - serials[i - 1]);
        out[i] = (current - previous) / elapsed;
        previous = current;
    }
}

void NormaliseSeries(std::span<const double> in, std::span<double> out) {
    const size_t n = in.size();
    if (n == 0) {
        return;
    }
    double total = 0.0;
    for (double v : in) {
        total += std::fabs(v);
    }
    const double scale = 5.0 * (total / static_cast<double>(n));
    for (size_t i = 0; i < n; ++i) {
        out[i] = in[i] / scale;
    }
}

namespace {

// Runs an array filter over the serials and the values of slot `from`, and writes its result
// into `to`. The arrays are those the optimiser hands to the same filters; they are kept from
// call to call on each thread, so a long series costs no fresh pages each time.
template <typename Filter>
void FilterStaged(CDataSet& ds, int from, int to, Filter filter) {
    CPointDeque& points = ds.MutablePoints();
    thread_local std::vector<int32_t> serials;
    thread_local std::vector<double> values;
    serials.clear();
    values.clear();
    serials.reserve(points.size());
    values.reserve(points.size());
    for (const CDataPoint& p : points) {
        serials.push_back(p.m_serial);
        values.push_back(p.GetValue(from));
    }
    filter(std::span<const int32_t>(serials), std::span<double>(values));
    size_t i = 0;
    for (CDataPoint& p : points) {
        p.SetValue(to, values[i++]);
    }
}

}  // namespace

void WeightedAverage(CDataSet& ds, int slot, int32_t days) {
    FilterStaged(ds, slot, slot,
                 [days](std::span<const int32_t> serials, std::span<double> values) {
                     WeightedAverageSeries(serials, values, values, days);
                 });
}

void Differentiate(CDataSet& ds, int from, int to) {
    FilterStaged(ds, from, to, [](std::span<const int32_t> serials, std::span<double> values) {
        DifferentiateSeries(serials, values, values);
    });
}

void Normalise(CDataSet& ds, int slot) {
    FilterStaged(ds, slot, slot, [](std::span<const int32_t>, std::span<double> values) {
        NormaliseSeries(values, values);
    });
}

void SmoothRaw(CDataSet& ds, int32_t days) {
    ds.CopySlot(Raw, Smooth);
    WeightedAverage(ds, Smooth, days);
}

void BuildDiff(CDataSet& ds, int32_t days) {
    Differentiate(ds, Smooth, Diff);
    if (days > 1) {
        WeightedAverage(ds, Diff, days);
    }
    Normalise(ds, Diff);
}
