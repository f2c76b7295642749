// A small reader of CMX exports for the tests: it reads an export back by its columns, as the
// parsers that import it do, and holds it against the repaired list it was made beside.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "test_util.h"

struct CmxEventLine {
    std::string number;
    std::string reel;
    std::string channels;
    std::string transition;
    std::string duration;
    std::string timecodes[4];
    bool audio3 = false;
    bool audio4 = false;
};

// One event of the export: its line (for a dissolve, the "D" line), the zero-length line of the
// outgoing shot before a dissolve, its speed line, and the comments that follow it.
struct CmxEvent {
    CmxEventLine line;
    bool hasOutgoing = false;
    CmxEventLine outgoing;
    bool hasSpeed = false;
    std::string speedReel;
    std::string speed;
    std::string speedTimecode;
    std::vector<std::string> comments;
};

struct CmxList {
    std::string title;
    std::string frameCountMode;
    std::vector<CmxEvent> events;
    std::vector<std::string> comments;             // every comment, in order
    std::map<std::string, std::string> reelTable;  // new name to original
    std::vector<std::string> problems;             // lines the parsers would not read
};

namespace cmx_reader {

inline std::vector<std::string> SplitLines(const Bytes& text, std::vector<std::string>* problems) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == Bytes::npos) {
            problems->push_back("no CR LF after the last line");
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

inline bool IsDigitText(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

inline std::string TrimRight(const std::string& text) {
    size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? "" : text.substr(0, end + 1);
}

inline std::string Trim(const std::string& text) {
    size_t start = text.find_first_not_of(' ');
    return start == std::string::npos ? "" : TrimRight(text.substr(start));
}

inline bool IsTimecode(const std::string& text) {
    if (text.size() != 11) {
        return false;
    }
    for (size_t k = 0; k < 11; ++k) {
        bool separator = k % 3 == 2;
        if (separator ? text[k] != ':' : (text[k] < '0' || text[k] > '9')) {
            return false;
        }
    }
    return true;
}

// "001  REEL     V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00", read by
// its columns after the number.
inline bool ReadEventLine(const std::string& line, CmxEventLine* event) {
    size_t digits = line.find_first_not_of("0123456789");
    if (digits == std::string::npos || digits < 3) {
        return false;
    }
    const size_t reelAt = digits + 2;
    if (line.size() != reelAt + 8 + 1 + 4 + 2 + 4 + 1 + 3 + 4 * 12 ||
        line.compare(digits, 2, "  ") != 0) {
        return false;
    }
    event->number = line.substr(0, digits);
    event->reel = TrimRight(line.substr(reelAt, 8));
    event->channels = TrimRight(line.substr(reelAt + 9, 4));
    event->transition = TrimRight(line.substr(reelAt + 15, 4));
    event->duration = Trim(line.substr(reelAt + 20, 3));
    if (event->reel.empty() || event->reel.find_first_not_of(
                                   "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") != std::string::npos) {
        return false;
    }
    static const char* const CHANNELS[] = {"V", "A", "A2", "AA", "B", "A2/V", "AA/V", "NONE"};
    bool knownChannels = false;
    for (const char* channels : CHANNELS) {
        knownChannels = knownChannels || event->channels == channels;
    }
    bool cut = event->transition == "C" && event->duration.empty();
    bool dissolve =
        event->transition == "D" && event->duration.size() == 3 && IsDigitText(event->duration);
    if (!knownChannels || !(cut || dissolve) || line[reelAt + 8] != ' ' ||
        line.compare(reelAt + 13, 2, "  ") != 0 || line[reelAt + 19] != ' ') {
        return false;
    }
    for (size_t k = 0; k < 4; ++k) {
        size_t at = reelAt + 23 + k * 12;
        event->timecodes[k] = line.substr(at + 1, 11);
        if (line[at] != ' ' || !IsTimecode(event->timecodes[k])) {
            return false;
        }
    }
    return true;
}

}  // namespace cmx_reader

namespace cmx_reader {

enum LineKind { LINE_BLANK, LINE_COMMENT, LINE_AUD, LINE_M2, LINE_EVENT, LINE_UNREAD };

struct ReadLine {
    LineKind kind;
    std::string text;
    CmxEventLine event;
};

inline ReadLine Classify(const std::string& line) {
    ReadLine read{LINE_UNREAD, line, {}};
    if (line.empty()) {
        read.kind = LINE_BLANK;
    } else if (line.compare(0, 2, "* ") == 0) {
        read.kind = LINE_COMMENT;
    } else if (line == "AUD  3" || line == "AUD       4" || line == "AUD  3    4") {
        read.kind = LINE_AUD;
    } else if (line.compare(0, 5, "M2   ") == 0) {
        read.kind = LINE_M2;
    } else if (ReadEventLine(line, &read.event)) {
        read.kind = LINE_EVENT;
    }
    return read;
}

// The AUD line right under an event line gives it audio 3 and 4.
inline size_t TakeAudio(const std::vector<ReadLine>& lines, size_t at, CmxEventLine* event) {
    if (at < lines.size() && lines[at].kind == LINE_AUD) {
        event->audio3 = lines[at].text.find('3') != std::string::npos;
        event->audio4 = lines[at].text.find('4') != std::string::npos;
        return at + 1;
    }
    return at;
}

inline void ReadSpeedLine(const std::string& line, CmxEvent* event, CmxList* list) {
    event->hasSpeed = true;
    event->speedReel = TrimRight(line.substr(5, 8));
    event->speed = line.size() > 25 ? Trim(line.substr(13, 12)) : "";
    event->speedTimecode = line.size() > 41 ? line.substr(41) : "";
    if (line.size() != 52 || !IsTimecode(event->speedTimecode) ||
        line.compare(25, 16, std::string(16, ' ')) != 0) {
        list->problems.push_back("an M2 line out of its columns: " + line);
    }
}

}  // namespace cmx_reader

// Reads an export by its columns; every line that a parser would not read goes to `problems`.
inline CmxList ReadCmxList(const Bytes& text) {
    using namespace cmx_reader;
    CmxList list;
    std::vector<std::string> texts = SplitLines(text, &list.problems);
    if (texts.size() < 2 || texts[0].compare(0, 7, "TITLE: ") != 0) {
        list.problems.push_back("no TITLE line first");
        return list;
    }
    list.title = texts[0].substr(7);
    list.frameCountMode = texts[1];
    if (texts[1] != "FCM: NON-DROP FRAME" && texts[1] != "FCM: DROP FRAME") {
        list.problems.push_back("no FCM line second: " + texts[1]);
    }
    std::vector<ReadLine> lines;
    for (size_t k = 2; k < texts.size(); ++k) {
        if (texts[k].find_first_of("\r\n") != std::string::npos) {
            list.problems.push_back("a line end inside a line: " + texts[k]);
        }
        lines.push_back(Classify(texts[k]));
    }
    bool commentsFirst = false;
    size_t at = 0;
    while (at < lines.size()) {
        const ReadLine& line = lines[at];
        switch (line.kind) {
            case LINE_BLANK:
                ++at;
                break;
            case LINE_COMMENT: {
                // A list without events is all comments; any other has none before its first.
                if (list.events.empty()) {
                    commentsFirst = true;
                } else {
                    list.events.back().comments.push_back(line.text);
                }
                list.comments.push_back(line.text);
                size_t equals = line.text.find(" = ");
                if (line.text.compare(0, 7, "* REEL ") == 0 && equals != std::string::npos) {
                    list.reelTable[line.text.substr(7, equals - 7)] = line.text.substr(equals + 3);
                }
                ++at;
                break;
            }
            case LINE_AUD:
                list.problems.push_back("an AUD line not right under an event line");
                ++at;
                break;
            case LINE_M2:
                if (list.events.empty() || list.events.back().hasSpeed) {
                    list.problems.push_back("an M2 line without its event: " + line.text);
                } else {
                    ReadSpeedLine(line.text, &list.events.back(), &list);
                }
                ++at;
                break;
            case LINE_EVENT: {
                if (commentsFirst && list.events.empty()) {
                    list.problems.push_back("a comment before the first event");
                }
                CmxEvent event;
                event.line = line.event;
                at = TakeAudio(lines, at + 1, &event.line);
                // A dissolve: the zero-length line of the outgoing shot, then the "D" line,
                // under one number.
                if (event.line.transition == "C" && at < lines.size() &&
                    lines[at].kind == LINE_EVENT && lines[at].event.transition == "D" &&
                    lines[at].event.number == event.line.number) {
                    event.hasOutgoing = true;
                    event.outgoing = event.line;
                    event.line = lines[at].event;
                    at = TakeAudio(lines, at + 1, &event.line);
                } else if (event.line.transition != "C") {
                    list.problems.push_back("a dissolve without its outgoing line: " + line.text);
                }
                list.events.push_back(event);
                break;
            }
            case LINE_UNREAD:
                list.problems.push_back("a line no parser reads: " + line.text);
                ++at;
                break;
        }
    }
    return list;
}

namespace cmx_reader {

inline bool IsRunByte(char c) {
    return c >= ',' && c <= ';';
}

// "01:00:00:00" with ":", ";", "." or "," between the pairs, as the repaired list shows it.
inline bool IsRepairedTimecode(const std::string& text) {
    if (text.size() != 11) {
        return false;
    }
    for (size_t k = 0; k < 11; ++k) {
        char c = text[k];
        bool separator = k % 3 == 2;
        if (separator ? (c != ':' && c != ';' && c != '.' && c != ',') : (c < '0' || c > '9')) {
            return false;
        }
    }
    return true;
}

inline std::string WithColons(std::string timecode) {
    for (size_t k = 2; k < timecode.size(); k += 3) {
        timecode[k] = ':';
    }
    return timecode;
}

inline int Pair(const std::string& timecode, size_t at) {
    return (timecode[at] - '0') * 10 + (timecode[at + 1] - '0');
}

// Frames from 00:00:00:00; at drop frame, two labels are skipped in each minute but every
// tenth.
inline long Frames(const std::string& timecode, int rate, bool dropFrame) {
    long minutes = Pair(timecode, 0) * 60L + Pair(timecode, 3);
    long frames = (minutes * 60 + Pair(timecode, 6)) * rate + Pair(timecode, 9);
    return dropFrame ? frames - 2 * (minutes - minutes / 10) : frames;
}

inline bool IsValidAt(const std::string& timecode, int rate, bool dropFrame) {
    if (!IsRepairedTimecode(timecode) || Pair(timecode, 0) >= 24 || Pair(timecode, 3) >= 60 ||
        Pair(timecode, 6) >= 60 || Pair(timecode, 9) >= rate) {
        return false;
    }
    return !(dropFrame && Pair(timecode, 6) == 0 && Pair(timecode, 9) < 2 &&
             Pair(timecode, 3) % 10 != 0);
}

// An event line of the repaired list, read by its columns: "0012 REEL   MODE  TYPE" and the
// four timecodes, which start in column 32, or up to six columns earlier when a pre-read
// line's reel is not padded.
struct RepairedEvent {
    std::string text;
    uint32_t number = 0;
    bool readable = false;  // four timecodes where the columns put them
    std::string reel;
    std::string mode;
    std::string type;
    std::string timecodes[4];
    std::string remainder;
};

inline RepairedEvent ReadRepairedEvent(const std::string& line) {
    RepairedEvent event;
    event.text = line;
    event.number = static_cast<uint32_t>(std::stoul(line.substr(0, 4)));
    for (size_t at = 32; at >= 26; --at) {
        if (line.size() < at + 47 || line[at - 15] != ' ' || line[at - 21] != ' ' ||
            (line.size() > at + 47 && IsRunByte(line[at + 47]))) {
            continue;
        }
        bool found = true;
        for (size_t k = 0; k < 4; ++k) {
            event.timecodes[k] = line.substr(at + k * 12, 11);
            found = found && IsRepairedTimecode(event.timecodes[k]) &&
                    (k == 3 || line[at + k * 12 + 11] == ' ');
        }
        if (found) {
            event.readable = true;
            event.reel = TrimRight(line.substr(5, at - 21 - 5));
            event.mode = line.substr(at - 20, 5);
            event.type = line.substr(at - 14, 14);
            event.remainder = line.substr(at + 47);
            return event;
        }
    }
    return event;
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

inline bool HasCommentStarting(const CmxEvent& event, const std::string& start) {
    for (const std::string& comment : event.comments) {
        if (comment.compare(0, start.size(), start) == 0) {
            return true;
        }
    }
    return false;
}

inline bool IsBlack(std::string reel) {
    for (char& c : reel) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return reel == "BL" || reel == "BLK" || reel == "BLACK";
}

inline bool SameReel(const CmxList& list, const std::string& exported,
                     const std::string& repaired) {
    if (exported == "BL" && IsBlack(repaired)) {
        return true;
    }
    if (exported == "AX" && repaired.empty()) {
        return true;
    }
    if (exported.substr(0, 6) == repaired) {
        return true;
    }
    auto entry = list.reelTable.find(exported);
    return entry != list.reelTable.end() && entry->second.substr(0, 6) == repaired;
}

// Video and audio 1 and 2 as the repaired mode column shows them: "V" first, then "A2" and "A1"
// wherever they stand after it ("V A2" as "V  A2"). An "A" with a blank after it is audio 1 or
// the mark the repaired line puts in its second column for a trailing audio word; either is
// taken. An assembled event ("ASMBL") is all three, and says so in a comment.
inline std::string CheckChannels(const std::string& mode, const std::string& channels) {
    bool assemble = mode == "ASMBL";
    bool audio2 = assemble;
    bool surelyAudio1 = assemble;
    bool maybeAudio1 = assemble;
    for (size_t column = 1; column < 5 && !assemble; ++column) {
        char after = column + 1 < 5 ? mode[column + 1] : ' ';
        if (mode[column] == 'A') {
            audio2 = audio2 || after == '2';
            surelyAudio1 = surelyAudio1 || after == '1';
            maybeAudio1 = maybeAudio1 || after == '1' || after == ' ';
        }
    }
    bool video = assemble || mode[0] == 'V';
    bool v = channels == "V" || channels == "B" || channels == "A2/V" || channels == "AA/V";
    bool a1 = channels == "A" || channels == "B" || channels == "AA" || channels == "AA/V";
    bool a2 = channels == "A2" || channels == "AA" || channels == "A2/V" || channels == "AA/V";
    if (v != video || a2 != audio2 || (surelyAudio1 && !a1) || (a1 && !maybeAudio1)) {
        return "channels " + channels + " for the mode \"" + mode + "\"";
    }
    return "";
}

inline std::string CheckTransition(const RepairedEvent& repaired, const CmxEvent& event) {
    const std::string& type = repaired.type;
    const CmxEventLine& line = event.line;
    std::string word = Trim(type.substr(8));
    bool dissolve = type[0] == 'D' && word.size() >= 1 && word.size() <= 3 && IsDigitText(word) &&
                    std::stoi(word) > 0;
    if (dissolve) {
        return line.transition == "D" && std::stoi(line.duration) == std::stoi(word)
                   ? ""
                   : "the dissolve " + word + " is " + line.transition + " " + line.duration;
    }
    if (line.transition != "C") {
        return "a " + type.substr(0, 1) + " written as " + line.transition;
    }
    std::string comment = type[0] == 'W'   ? "* BVE WIPE"
                          : type[0] == 'K' ? "* BVE KEY " + type.substr(0, 2)
                          : type[0] == 'C' && Trim(type.substr(1)).empty() ? ""
                          : type[0] == ' '                                 ? ""
                                           : "* BVE TRANSITION " + type.substr(0, 1);
    if (type[0] == 'W' && type.compare(3, 4, "0000") != 0) {
        comment += " " + type.substr(3, 4);
    }
    return comment.empty() || HasCommentStarting(event, comment)
               ? ""
               : "no comment \"" + comment + "\" for the type \"" + type + "\"";
}

// Audio 3 and 4 from the repaired line's audio slot; a speed mark "DM+050" as an M2 line with
// the event's reel, its source in and the speed in frames per second.
inline std::string CheckMarks(const RepairedEvent& repaired, const CmxEvent& event, int rate) {
    std::string remainder = repaired.remainder + std::string(20, ' ');
    // The slot shows the last audio word: "A3" alone at its start, or, after an "A4", a word
    // cut to two characters at its offset 2.
    std::string slot = remainder.substr(15, 4);
    const CmxEventLine& line = event.line;
    bool afterFour = slot.compare(2, 2, "A3") == 0 || slot.compare(2, 2, "A4") == 0;
    if ((slot == "A3  " && !line.audio3) ||
        (afterFour && !line.audio3 && !line.audio4 &&
         !HasCommentStarting(event, "* BVE MARKS: ")) ||
        ((line.audio3 || line.audio4) && Trim(slot).empty())) {
        return "audio 3 and 4 for the slot \"" + slot + "\"";
    }
    std::string mark = remainder.substr(6, 6);
    bool speed = mark.compare(0, 2, "DM") == 0 && (mark[2] == '+' || mark[2] == '-') &&
                 IsDigitText(mark.substr(3));
    if (!speed) {
        return event.hasSpeed ? "a speed line without a speed mark" : "";
    }
    int tenths = (rate * std::stoi(mark.substr(3)) + 5) / 10;
    char expected[16];
    std::snprintf(expected, sizeof expected, "%s%03d.%d", mark[2] == '-' && tenths > 0 ? "-" : "",
                  tenths / 10, tenths % 10);
    if (!event.hasSpeed || event.speed != expected || event.speedReel != line.reel ||
        event.speedTimecode != line.timecodes[0]) {
        return "the speed mark " + mark + " is not the speed line of " + expected;
    }
    return "";
}

// A line's text as a comment holds it: control characters as blanks, trimmed.
inline std::string AsCommentText(std::string text);

// A rewritten event line: four digits and a blank, and its timecodes where the columns put
// them, or short enough to be one piece.
inline bool IsRewrittenEventLine(const std::string& line) {
    return line.size() > 5 && IsDigitText(line.substr(0, 4)) && line[4] == ' ' &&
           (line.size() <= 159 || ReadRepairedEvent(AsCommentText(line)).readable);
}

// The repaired list's body, line by line as it was written. A note or internal data piece of
// a longer line holds 159 bytes without a line end, and what follows it on the same line is
// the next piece.
inline std::vector<std::string> RepairedLines(const Bytes& body) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < body.size()) {
        size_t end = body.find('\n', at);
        end = end == Bytes::npos ? body.size() : end + 1;
        std::string line = body.substr(at, end - at);
        if (line.size() > 159 && !IsRewrittenEventLine(line)) {
            lines.push_back(line.substr(0, 159));
            at += 159;
            continue;
        }
        lines.push_back(line);
        at = end;
    }
    return lines;
}

// A line's text as a comment holds it: control characters as blanks, trimmed.
inline std::string AsCommentText(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    for (char& c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            c = ' ';
        }
    }
    return Trim(text);
}

inline uint32_t LeadingNumber(const std::string& text) {
    size_t at = text.find_first_not_of(' ');
    uint32_t value = 0;
    for (size_t digits = 0; at < text.size() && digits < 9 && text[at] >= '0' && text[at] <= '9';
         ++at, ++digits) {
        value = value * 10 + static_cast<uint32_t>(text[at] - '0');
    }
    return value;
}

// A repaired event line the export does not hold as an event: its text in a "* BVE LINE:"
// (or, for an internal data line that looks like one, "* BVE DATA:") comment not used yet.
inline bool FindKeptLine(const CmxList& list, const RepairedEvent& event, bool dataOnly,
                         std::vector<bool>* used) {
    for (size_t k = 0; k < list.comments.size(); ++k) {
        const std::string& comment = list.comments[k];
        bool kept = (!dataOnly && comment.compare(0, 12, "* BVE LINE: ") == 0) ||
                    comment.compare(0, 12, "* BVE DATA: ") == 0;
        if (!kept || (*used)[k] || LeadingNumber(comment.substr(12)) != event.number) {
            continue;
        }
        bool holdsAll = true;
        for (int t = 0; t < 4 && event.readable; ++t) {
            holdsAll = holdsAll && Contains(comment, event.timecodes[t]);
        }
        if (holdsAll) {
            (*used)[k] = true;
            return true;
        }
    }
    return false;
}

}  // namespace cmx_reader

// Holds an export against the repaired list made beside it (its body, after the banner): every line
// reads; each event of the repaired list comes back, in order, with the same four timecodes, reel,
// channels, transition, audio 3 and 4 and speed, or its text comes back as a comment when the
// export cannot hold it; a dissolve's outgoing line has no length; the record timeline has the same
// total length; and every note line of the repaired list is a comment.
inline ::testing::AssertionResult ExportHoldsRepairedList(const Bytes& repairedBody,
                                                          const Bytes& exported, int rate,
                                                          bool dropFrame) {
    using namespace cmx_reader;
    CmxList list = ReadCmxList(exported);
    if (!list.problems.empty()) {
        return ::testing::AssertionFailure() << list.problems[0];
    }
    std::vector<bool> used(list.comments.size(), false);
    size_t next = 0;
    long repairedLength = 0;
    std::vector<std::string> reelsSoFar;
    for (const std::string& text : RepairedLines(repairedBody)) {
        if (!IsRewrittenEventLine(text)) {
            // A note or internal data piece: a comment holds it.
            std::string note = AsCommentText(text);
            if (note.empty() || note == "* EFFECT NAME: DISSOLVE") {
                continue;
            }
            bool found = false;
            for (const std::string& comment : list.comments) {
                found = found || Contains(comment, note);
            }
            if (!found) {
                return ::testing::AssertionFailure() << "the note \"" << note << "\" is lost";
            }
            continue;
        }
        RepairedEvent event = ReadRepairedEvent(AsCommentText(text));
        bool held = event.readable;
        for (int k = 0; k < 4 && held; ++k) {
            held = IsValidAt(event.timecodes[k], rate, dropFrame);
        }
        held = held && Frames(event.timecodes[3], rate, dropFrame) >=
                           Frames(event.timecodes[2], rate, dropFrame);
        if (!held) {
            if (!FindKeptLine(list, event, false, &used)) {
                return ::testing::AssertionFailure() << "the line is lost: " << text;
            }
            continue;
        }
        if (next == list.events.size()) {
            if (FindKeptLine(list, event, true, &used)) {
                continue;  // an internal data line that looks like an event line
            }
            return ::testing::AssertionFailure() << "no event for " << text;
        }
        const CmxEvent& exportedEvent = list.events[next];
        const CmxEventLine& line = exportedEvent.line;
        std::string problem;
        for (int k = 0; k < 4; ++k) {
            if (WithColons(event.timecodes[k]) != line.timecodes[k]) {
                problem = "timecode " + line.timecodes[k];
            }
        }
        if (problem.empty() && !SameReel(list, line.reel, event.reel)) {
            problem = "reel " + line.reel;
        }
        if (problem.empty()) {
            problem = CheckChannels(event.mode, line.channels);
        }
        if (problem.empty() && event.mode == "ASMBL" &&
            !HasCommentStarting(exportedEvent, "* BVE MODE ASMBL")) {
            problem = "an assembled event without its comment";
        }
        if (problem.empty()) {
            problem = CheckTransition(event, exportedEvent);
        }
        if (problem.empty()) {
            problem = CheckMarks(event, exportedEvent, rate);
        }
        if (problem.empty() && exportedEvent.hasOutgoing) {
            const CmxEventLine& outgoing = exportedEvent.outgoing;
            bool known = outgoing.reel == "BL";
            for (const std::string& reel : reelsSoFar) {
                known = known || reel == outgoing.reel;
            }
            if (!known || outgoing.timecodes[0] != outgoing.timecodes[1] ||
                outgoing.timecodes[2] != line.timecodes[2] ||
                outgoing.timecodes[3] != line.timecodes[2] || outgoing.channels != line.channels) {
                problem = "the outgoing line of the dissolve";
            }
        }
        if (!problem.empty()) {
            if (FindKeptLine(list, event, true, &used)) {
                continue;  // an internal data line that looks like an event line
            }
            return ::testing::AssertionFailure() << problem << " for " << text;
        }
        ++next;
        repairedLength += Frames(event.timecodes[3], rate, dropFrame) -
                          Frames(event.timecodes[2], rate, dropFrame);
        reelsSoFar.push_back(line.reel);
    }
    if (next != list.events.size()) {
        return ::testing::AssertionFailure()
               << "an event the repaired list does not have: " << list.events[next].line.number;
    }
    long exportedLength = 0;
    for (const CmxEvent& event : list.events) {
        for (const CmxEventLine* line : {&event.outgoing, &event.line}) {
            if (!line->number.empty()) {
                exportedLength += Frames(line->timecodes[3], rate, dropFrame) -
                                  Frames(line->timecodes[2], rate, dropFrame);
            }
        }
    }
    if (exportedLength != repairedLength) {
        return ::testing::AssertionFailure()
               << "record length " << exportedLength << " instead of " << repairedLength;
    }
    return ::testing::AssertionSuccess();
}
