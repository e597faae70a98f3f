#include "figures/star_labels.h"

#include <algorithm>
#include <vector>

namespace orvane {

void separateStarLabels(Axes& ax)
{
    constexpr double kWidth = 0.62;   // spread units: "ADM_8" at the window's size, with its box
    constexpr double kHeight = 0.28;  // grade units: a label's height, with its box
    constexpr double kLine = 0.3;     // between the lines of a column
    constexpr double kGap = 0.2;      // between a star and its labels
    constexpr double kPlane = 6.5;    // the zones' extent, both ways
    constexpr double kStar = 0.12;    // half a star's size
    struct Box {
        double left, bottom, right, top;
        bool overlaps(const Box& o) const
        {
            return left < o.right && o.left < right && bottom < o.top && o.bottom < top;
        }
    };
    std::vector<Box> taken;
    for (const Text& label : ax.texts) {
        const double sx = label.x - kGap, sy = label.y;
        taken.push_back({sx - kStar, sy - kStar, sx + kStar, sy + kStar});
    }
    struct Place {
        double cost, x, y;
    };
    for (Text& label : ax.texts) {
        const double sx = label.x - kGap, sy = label.y;
        std::vector<Place> places;
        for (int column = 0; column < 4; ++column)
            for (const bool left : {false, true})
                for (int line = 0; line <= 6; ++line)
                    for (const int side : {1, -1}) {
                        if (line == 0 && side < 0) continue;
                        const double x = left ? sx - kGap - kWidth - column * (kWidth + 0.08)
                                              : sx + kGap + column * (kWidth + 0.08);
                        places.push_back({column * 3.0 + line + (left ? 2.5 : 0) + (side < 0 ? 0.1 : 0), x,
                                          sy + side * line * kLine});
                    }
        std::stable_sort(places.begin(), places.end(), [](const Place& a, const Place& b) { return a.cost < b.cost; });
        for (const Place& p : places) {
            const Box box{p.x, p.y - kHeight / 2, p.x + kWidth, p.y + kHeight / 2};
            if (box.left < 0 || box.right > kPlane || box.bottom < 0 || box.top > kPlane) continue;
            if (std::any_of(taken.begin(), taken.end(), [&box](const Box& t) { return t.overlaps(box); })) continue;
            label.x = p.x;
            label.y = p.y;
            taken.push_back(box);
            break;
        }
    }
}

}  // namespace orvane
