// The dissolve effect line: where it goes, stacking, and the linear-time representation
// checked against the simple insertion, one effect line at a time.
#include <random>

#include "dissolve.h"
#include "engine.h"
#include "test_util.h"

namespace {

const Bytes EFFECT = "          * EFFECT NAME: DISSOLVE\r\n";

// The simple insertion on the whole text: walk back over the lines of the dissolve's number,
// move everything after the place and write the effect line there.
void NaiveInsert(Bytes* text, const Bytes& number, size_t n) {
    long e = static_cast<long>(text->size()) - static_cast<long>(n) - 3;
    if (e <= 0) {
        return;
    }
    for (;;) {
        while (e >= 0 && (*text)[e] != '\n') {
            --e;
        }
        if (e < 0) {
            return;
        }
        if (text->compare(e + 1, 4, number) == 0 && static_cast<size_t>(e) + 5 <= text->size()) {
            --e;
            if (e <= 0) {
                return;
            }
            continue;
        }
        size_t next = text->find('\n', e + 1);
        size_t place = next == Bytes::npos ? text->size() : next + 1;
        text->insert(place, EFFECT);
        return;
    }
}

// Appends `lines` one by one to both representations; a line whose tag is 'D' is a dissolve.
struct Appended {
    Bytes line;
    bool dissolve;
};

void CheckAgainstNaive(const Bytes& start, const std::vector<Appended>& lines,
                       const std::string& what) {
    Bytes naive = start;
    ByteBuffer text{};
    ASSERT_TRUE(BufferAppend(&text, start.data(), start.size()));
    LineState state{};
    for (const Appended& appended : lines) {
        naive += appended.line;
        ASSERT_TRUE(BufferAppend(&text, appended.line.data(), appended.line.size()));
        if (appended.dissolve) {
            NaiveInsert(&naive, appended.line.substr(0, 4), appended.line.size());
            state.dissolvePending = true;
            ASSERT_TRUE(InsertDissolveEffect(&text, appended.line.substr(0, 4).c_str(),
                                             appended.line.size(), &state));
            EXPECT_FALSE(state.dissolvePending);
        }
    }
    ASSERT_TRUE(FlushDissolveEffects(&text, &state));
    EXPECT_TRUE(SameBytes(naive, Bytes(reinterpret_cast<char*>(text.bytes), text.length))) << what;
    BufferRelease(&text);
}

const Bytes BANNER_END = "\r\n@T\r\nEDT   REL\r\n";

Appended Event(const char* number, char type) {
    Bytes line = Bytes(number) + " 001    V     " + type +
                 "             00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n";
    return Appended{line, type == 'D'};
}

TEST(Dissolve, PlacedBeforeTheRunOfItsEventNumber) {
    struct Case {
        const char* rule;
        std::vector<Appended> lines;
        const char* expectedTail;
    };
    const std::vector<Case> cases = {
        {"before the event's first line",
         {Event("0001", 'C'), Event("0002", 'C'), Event("0002", 'D'), Event("0003", 'C')},
         "1C E 2C 2D 3C"},
        {"a note between the event's lines ends the run",
         {Event("0001", 'C'),
          Event("0002", 'C'),
          {"* NOTE\r\n", false},
          Event("0002", 'D'),
          Event("0003", 'C')},
         "1C 2C N E 2D 3C"},
        {"two dissolves of one event stack before the first",
         {Event("0001", 'C'), Event("0002", 'D'), Event("0002", 'D')},
         "1C E E 2D 2D"},
        {"directly before a dissolve whose line before is another event",
         {Event("0001", 'C'), Event("0002", 'D')},
         "1C E 2D"},
    };
    for (const Case& c : cases) {
        CheckAgainstNaive(BANNER_END, c.lines, c.rule);
        // And the shape, spelled out: E for the effect line, number and type for events.
        Bytes naive = BANNER_END;
        for (const Appended& a : c.lines) {
            naive += a.line;
            if (a.dissolve) {
                NaiveInsert(&naive, a.line.substr(0, 4), a.line.size());
            }
        }
        std::string shape;
        size_t at = BANNER_END.size();
        while (at < naive.size()) {
            size_t end = naive.find('\n', at) + 1;
            Bytes line = naive.substr(at, end - at);
            shape += shape.empty() ? "" : " ";
            shape += line == EFFECT ? "E" : line[0] == '*' ? "N" : Bytes(1, line[3]) + line[18];
            at = end;
        }
        EXPECT_EQ(c.expectedTail, shape) << c.rule;
    }
}

TEST(Dissolve, NothingIsInsertedWhenTheRunReachesTheStart) {
    // Every line from the first carries the number: the walk reaches the start of the text.
    CheckAgainstNaive("0005\r\n", {Event("0005", 'C'), Event("0005", 'D')}, "run to start");
    Bytes naive = "0005\r\n" + Event("0005", 'C').line + Event("0005", 'D').line;
    Bytes before = naive;
    NaiveInsert(&naive, "0005", Event("0005", 'D').line.size());
    EXPECT_EQ(before, naive);
}

TEST(Dissolve, MatchesTheStepByStepInsertionOnRandomFiles) {
    std::mt19937 random(7122026);
    const char* numbers[] = {"0001", "0002", "0003"};
    const Bytes others[] = {"* NOTE\r\n", "5\r\n",         "12\r\n",   "0002 X\r\n",
                            "00\n",       Bytes(159, 'n'), "0001\r\n", "0003" + Bytes(155, 'x')};
    for (int round = 0; round < 3000; ++round) {
        std::vector<Appended> lines;
        size_t count = 1 + random() % 40;
        for (size_t k = 0; k < count; ++k) {
            int pick = static_cast<int>(random() % 10);
            if (pick < 3) {
                lines.push_back(Event(numbers[random() % 3], 'C'));
            } else if (pick < 7) {
                lines.push_back(Event(numbers[random() % 3], 'D'));
            } else {
                lines.push_back(Appended{others[random() % std::size(others)], false});
            }
        }
        CheckAgainstNaive(BANNER_END, lines, "round " + std::to_string(round));
        if (HasFailure()) {
            return;
        }
    }
}

TEST(Dissolve, ThousandsOfDissolvesOfOneEventStack) {
    std::vector<Appended> lines = {Event("0001", 'C')};
    for (int k = 0; k < 3000; ++k) {
        lines.push_back(Event("0002", 'D'));
    }
    CheckAgainstNaive(BANNER_END, lines, "one long run");
}

}  // namespace
