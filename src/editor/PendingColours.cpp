#include "editor/PendingColours.h"

#include <algorithm>
#include <cstddef>
#include <utility>

void PendingColours::reset(std::vector<Run> runs)
{
    m_runs = std::move(runs);
    m_next = 0;
}

std::vector<PendingColours::Run> PendingColours::takeVisible(int top, int bottom)
{
    const auto rest = m_runs.begin() + std::ptrdiff_t(m_next);
    auto firstEndingAfter = std::partition_point(rest, m_runs.end(),
                                                 [&](const Run &r) { return r.to <= top; });
    auto firstStartingBelow = std::partition_point(
        firstEndingAfter, m_runs.end(), [&](const Run &r) { return r.from < bottom; });
    std::vector<Run> visible(firstEndingAfter, firstStartingBelow);
    m_runs.erase(firstEndingAfter, firstStartingBelow);
    return visible;
}

std::span<const PendingColours::Run> PendingColours::takeNext(std::size_t count)
{
    const std::size_t begin = m_next;
    m_next += std::min(count, m_runs.size() - m_next);
    return std::span<const Run>(m_runs).subspan(begin, m_next - begin);
}

void PendingColours::moveWithEdit(int position, int removed, int added)
{
    if (!pending())
        return;
    const int editEnd = position + removed;
    const int delta = added - removed;
    std::vector<Run> moved;
    moved.reserve(m_runs.size() - m_next + 1);
    for (std::size_t i = m_next; i < m_runs.size(); ++i) {
        const Run r = m_runs[i];
        if (r.to <= position) {
            moved.push_back(r);
        } else if (r.from >= editEnd) {
            moved.push_back({r.from + delta, r.to + delta, r.color});
        } else {
            if (r.from < position)
                moved.push_back({r.from, position, r.color});
            if (r.to > editEnd)
                moved.push_back({editEnd + delta, r.to + delta, r.color});
        }
    }
    m_runs = std::move(moved);
    m_next = 0;
}

void PendingColours::clear()
{
    m_runs.clear();
    m_next = 0;
}
