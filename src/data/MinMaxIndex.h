#pragma once

#include <QtGlobal>

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

struct TValueRange {
    int min = std::numeric_limits<int>::max();
    int max = std::numeric_limits<int>::min();

    bool isEmpty() const { return min > max; }
    void merge(const TValueRange& other)
    {
        min = std::min(min, other.min);
        max = std::max(max, other.max);
    }
    void merge(const std::optional<int>& value)
    {
        if (value)
            merge(TValueRange{*value, *value});
    }
};

// Min/max levels over a sequence of optional values, each level 16 times
// coarser than the one below. The items themselves are not copied: queries
// read them through the same accessor the index was built with, so a range
// query costs at most 2 x 15 reads per level, whatever its length.
class TMinMaxIndex
{
public:
    static constexpr qsizetype Fanout = 16;

    template <class ValueAt>
    void build(qsizetype count, ValueAt valueAt)
    {
        levels_.clear();
        if (count <= Fanout)
            return;
        std::vector<TValueRange> level(size_t((count + Fanout - 1) / Fanout));
        for (qsizetype i = 0; i < count; ++i)
            level[size_t(i / Fanout)].merge(valueAt(i));
        levels_.push_back(std::move(level));
        while (qsizetype(levels_.back().size()) > Fanout) {
            const std::vector<TValueRange>& below = levels_.back();
            std::vector<TValueRange> above((below.size() + Fanout - 1) / Fanout);
            for (size_t i = 0; i < below.size(); ++i)
                above[i / Fanout].merge(below[i]);
            levels_.push_back(std::move(above));
        }
    }

    // Range of the present values among items first..last (inclusive), nullopt if none.
    template <class ValueAt>
    std::optional<TValueRange> range(qsizetype first, qsizetype last, ValueAt valueAt) const
    {
        TValueRange result;
        const auto mergeUnit = [&](size_t level, qsizetype unit) {
            if (level == 0)
                result.merge(valueAt(unit));
            else
                result.merge(levels_[level - 1][size_t(unit)]);
        };
        for (size_t level = 0; first <= last; ++level) {
            if (level == levels_.size()) {
                for (qsizetype unit = first; unit <= last; ++unit)
                    mergeUnit(level, unit);
                break;
            }
            while (first <= last && first % Fanout != 0)
                mergeUnit(level, first++);
            while (first <= last && (last + 1) % Fanout != 0)
                mergeUnit(level, last--);
            first /= Fanout;
            last = (last + 1) / Fanout - 1;
        }
        if (result.isEmpty())
            return std::nullopt;
        return result;
    }

    qsizetype memoryBytes() const
    {
        qsizetype bytes = 0;
        for (const auto& level : levels_)
            bytes += qsizetype(level.capacity() * sizeof(TValueRange));
        return bytes;
    }

private:
    std::vector<std::vector<TValueRange>> levels_;
};
