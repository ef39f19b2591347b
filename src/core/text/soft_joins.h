#pragma once
// Long lines shown in pieces. The editing control lays out a whole line as
// one paragraph each time it changes, so a line of a million characters
// costs a noticeable time per keystroke. A source line longer than a bound
// is therefore handed to the control as several paragraphs; the paragraph
// end between two pieces is a soft join, which is not part of the text:
// never saved, never copied, never counted as a position of the text.
//
// Positions come in two kinds here. A source position counts the text as
// the file has it; a control position counts the control's characters,
// where each join adds one paragraph separator.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zu {

// The piece length the program uses: long enough that ordinary pages never
// meet a join, short enough that a piece lays out in about a millisecond.
inline constexpr std::size_t kSoftJoinBound = 4096;

// Where `line` (one line, without its break) is cut into pieces of at most
// `bound` UTF-16 units: the positions at which the second and later pieces
// start, ascending; none when the line is not longer than `bound`. A cut
// goes after a blank or a '>' in the last half of a piece where there is
// one, so that the pieces end where word wrap would end a row anyway;
// otherwise as late as it can. It never parts a surrogate pair or a
// character from a combining mark after it.
std::vector<std::size_t> softJoinPoints(std::u16string_view line, std::size_t bound);

// The same for a whole text whose lines end in '\n' or U+2029: the source
// positions of every join, ascending.
std::vector<std::size_t> softJoinPointsOfText(std::u16string_view text, std::size_t bound);

// Where the joins of a control's text stand, and positions mapped both ways.
// A join is held as the control position of the first character after it
// (the start of the paragraph it begins); its separator is the character in
// front of that. Empty, as for nearly every document, it maps each position
// to itself.
class JoinMap {
public:
    // Which of the two control positions of a source position at a join:
    // the end of the piece before it or the start of the piece after it.
    enum class Side { Before, After };

    JoinMap() = default;
    // From the control positions of the paragraphs that follow a join,
    // ascending.
    explicit JoinMap(std::vector<long> starts) : starts_(std::move(starts)) {}
    // From the source positions of the joins, ascending (as
    // softJoinPointsOfText gives them).
    static JoinMap fromSourcePoints(const std::vector<std::size_t>& points);

    bool empty() const { return starts_.empty(); }
    std::size_t size() const { return starts_.size(); }
    const std::vector<long>& starts() const { return starts_; }

    long toSource(long control) const;
    long toControl(long source, Side side = Side::After) const;

    // The source text of `control`, a stretch of the control's text that
    // starts at control position `offset`: the separators of joins dropped.
    std::u16string sourceText(std::u16string_view control, long offset = 0) const;

private:
    std::vector<long> starts_;
};

} // namespace zu
