#pragma once

#include "markup/ColorValue.h"

#include <cstddef>
#include <span>
#include <vector>

// The colour runs of a page still to be put in, in control positions and in order. The
// editor puts in what is on screen at once and the rest in slices; meanwhile the user may
// type, and the runs still to come move with each edit.
class PendingColours
{
public:
    struct Run
    {
        int from = 0;
        int to = 0;
        ColorValue color = 0;
    };

    void reset(std::vector<Run> runs);
    bool pending() const { return m_next < m_runs.size(); }
    // Takes out the runs that reach into [top, bottom): what is on screen comes first.
    std::vector<Run> takeVisible(int top, int bottom);
    // The next runs, at most count of them; they count as done.
    std::span<const Run> takeNext(std::size_t count);
    // Moves the runs still to come with an edit at position that removed and added
    // characters. The edited stretch keeps the colour it was given; a run's rest around
    // it is still coloured.
    void moveWithEdit(int position, int removed, int added);
    void clear();

private:
    std::vector<Run> m_runs;
    std::size_t m_next = 0;
};
