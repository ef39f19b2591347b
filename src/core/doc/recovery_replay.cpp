#include "core/doc/recovery_replay.h"

#include "core/doc/recovery_fields.h"
#include "core/text/encoding.h"

#include <algorithm>

namespace zu {
namespace {

using namespace recovery_fields;

std::size_t breakCount(std::u16string_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\n'));
}

bool ascending(const std::vector<cp932::Variant>& variants) {
    return std::ranges::is_sorted(variants, {}, &cp932::Variant::index);
}

std::optional<SourceIdentity> sourceOf(std::string_view value, bool& ok) {
    ok = true;
    if (value == "-")
        return std::nullopt;
    std::string_view parts[6];
    for (std::string_view& part : parts) {
        const auto space = value.find(' ');
        part = value.substr(0, space);
        value = space == std::string_view::npos ? std::string_view() : value.substr(space + 1);
    }
    const auto device = number<std::uint64_t>(parts[0]);
    const auto inode = number<std::uint64_t>(parts[1]);
    const auto size = number<std::int64_t>(parts[2]);
    const auto seconds = number<std::int64_t>(parts[3]);
    const auto nanoseconds = number<std::int64_t>(parts[4]);
    const auto hash = number<std::uint64_t>(parts[5]);
    if (!value.empty() || !device || !inode || !size || !seconds || !nanoseconds || !hash) {
        ok = false;
        return std::nullopt;
    }
    return SourceIdentity{{*device, *inode, *size, *seconds, *nanoseconds}, *hash};
}

} // namespace

bool RecoveryReplay::apply(char kind, std::string_view payload) {
    switch (kind) {
    case 'F':
        return applyForm(payload);
    case 'T': {
        auto body = textBody(payload);
        if (!body || !form_ || hasBase() || !ascending(body->variants))
            return false;
        std::vector<LineBreak> stored = body->breaks;
        // Breaks past the end of the list are in the form's style.
        body->breaks.resize(breakCount(body->text), form_->lineBreak);
        return applyBase(
            {std::move(body->text), std::move(body->breaks), std::move(body->variants)},
            std::move(stored));
    }
    case 'B': {
        std::string_view value;
        std::optional<std::string> name;
        if (!form_ || hasBase() || !field(payload, "encoding", value) || !(name = unhex(value)))
            return false;
        const Encoding* encoding = findEncoding(*name);
        if (!encoding)
            return false;
        DocumentText decoded = decodeDocument(payload, *encoding);
        std::vector<LineBreak> stored = decoded.breaks;
        decoded.breaks.resize(breakCount(decoded.text), decoded.lineBreak);
        return applyBase(
            {std::move(decoded.text), std::move(decoded.breaks), std::move(decoded.variants)},
            std::move(stored));
    }
    case 'S':
        return applyEdit(payload);
    default:
        return false;
    }
}

bool RecoveryReplay::applyForm(std::string_view rest) {
    RecoveryForm f;
    std::string_view value;
    std::optional<std::string> text;
    bool ok = false;
    if (!field(rest, "title", value) || !(text = unhex(value)))
        return false;
    f.title = *text;
    if (!field(rest, "path", value) || !(text = unhex(value)))
        return false;
    f.path = *text;
    if (!field(rest, "encoding", value) || !(text = unhex(value)))
        return false;
    f.encoding = *text;
    if (!field(rest, "bom", value) || !flag(value, f.byteOrderMark) ||
        !field(rest, "linebreak", value) || !lineBreak(value, f.lineBreak) ||
        !field(rest, "mixed", value) || !flag(value, f.mixedBreaks) ||
        !field(rest, "source", value))
        return false;
    f.source = sourceOf(value, ok);
    if (!ok || !rest.empty())
        return false;
    form_ = std::move(f);
    return true;
}

bool RecoveryReplay::applyBase(Buffer base, std::vector<LineBreak> storedBreaks) {
    length_ = base.text.size();
    if (length_ > 0)
        pieces_.push_back({0, 0, length_});
    buffers_.push_back(std::move(base));
    baseBreaks_ = std::move(storedBreaks);
    return true;
}

bool RecoveryReplay::applyEdit(std::string_view rest) {
    std::string_view value;
    if (!hasBase() || !field(rest, "from", value))
        return false;
    const auto from = number<std::size_t>(value);
    if (!from || !field(rest, "removed", value))
        return false;
    const auto removed = number<std::size_t>(value);
    if (!removed || !field(rest, "length", value))
        return false;
    const auto length = number<std::size_t>(value);
    auto body = textBody(rest);
    if (!length || !body || *from > length_ || *removed > length_ - *from ||
        *length != length_ - *removed + body->text.size() ||
        body->breaks.size() != breakCount(body->text) || !ascending(body->variants) ||
        (!body->variants.empty() && body->variants.back().index >= body->text.size()))
        return false;

    // The pieces before `from`, the new one, and those after what went.
    const std::size_t cutFrom = *from;
    const std::size_t cutTo = *from + *removed;
    const Piece added{buffers_.size(), 0, body->text.size()};
    std::vector<Piece> pieces;
    pieces.reserve(pieces_.size() + 2);
    bool placed = false;
    const auto place = [&] {
        if (!placed && added.length > 0)
            pieces.push_back(added);
        placed = true;
    };
    std::size_t at = 0;
    for (const Piece& p : pieces_) {
        const std::size_t end = at + p.length;
        if (at < cutFrom)
            pieces.push_back({p.buffer, p.start, std::min(p.length, cutFrom - at)});
        if (end >= cutFrom)
            place();
        if (end > cutTo) {
            const std::size_t keep = std::max(at, cutTo);
            pieces.push_back({p.buffer, p.start + (keep - at), end - keep});
        }
        at = end;
    }
    place();
    pieces_ = std::move(pieces);
    buffers_.push_back({std::move(body->text), std::move(body->breaks), std::move(body->variants)});
    length_ = *length;
    return true;
}

std::optional<RecoveryRecord> RecoveryReplay::result() const {
    if (!form_ || !hasBase())
        return std::nullopt;
    RecoveryRecord r;
    r.title = form_->title;
    r.path = form_->path;
    r.encoding = form_->encoding;
    r.byteOrderMark = form_->byteOrderMark;
    r.lineBreak = form_->lineBreak;
    r.source = form_->source;
    if (buffers_.size() == 1) {
        // No edits: the base as it was stored.
        r.text = buffers_[0].text;
        r.variants = buffers_[0].variants;
        if (form_->mixedBreaks)
            r.breaks = baseBreaks_;
        return r;
    }
    // Pieces of one buffer come in the order of the buffer (an edit only
    // takes text out or puts new text in), so each buffer is walked once:
    // where its walk stands, how many of its breaks and byte forms lie
    // before that.
    struct Walk {
        std::size_t at = 0, breaks = 0, variants = 0;
    };
    std::vector<Walk> walks(buffers_.size());
    r.text.reserve(length_);
    for (const Piece& p : pieces_) {
        const Buffer& b = buffers_[p.buffer];
        Walk& w = walks[p.buffer];
        const std::u16string_view text(b.text);
        w.breaks += breakCount(text.substr(w.at, p.start - w.at));
        while (w.variants < b.variants.size() && b.variants[w.variants].index < p.start)
            ++w.variants;
        const std::size_t out = r.text.size();
        const std::u16string_view piece = text.substr(p.start, p.length);
        r.text += piece;
        for (char16_t c : piece)
            if (c == u'\n' && form_->mixedBreaks)
                r.breaks.push_back(b.breaks[w.breaks++]);
            else if (c == u'\n')
                ++w.breaks;
        for (; w.variants < b.variants.size() && b.variants[w.variants].index < p.start + p.length;
             ++w.variants)
            r.variants.push_back(
                {b.variants[w.variants].index - p.start + out, b.variants[w.variants].code});
        w.at = p.start + p.length;
    }
    return r;
}

} // namespace zu
