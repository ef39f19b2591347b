#include "gui/doc/document_joins.h"

#include <QTextDocument>

namespace zu {

bool isJoined(const QTextBlock& block) {
    return block.blockFormat().hasProperty(kJoinProperty);
}

bool JoinedFormats::operator()(const QTextBlock& block) {
    const auto index = static_cast<std::size_t>(block.blockFormatIndex());
    if (index >= known_.size())
        known_.resize(index + 1, 0);
    if (known_[index] == 0)
        known_[index] = isJoined(block) ? 1 : 2;
    return known_[index] == 1;
}

void DocumentJoins::reset(JoinMap map) {
    ever_ = !map.empty();
    map_ = std::move(map);
    dirty_ = false;
    characters_ = text_->characterCount();
    blocks_ = text_->blockCount();
}

const JoinMap& DocumentJoins::map() const {
    if (!ever_)
        return map_;
    if (!dirty_ && characters_ == text_->characterCount() && blocks_ == text_->blockCount())
        return map_;
    std::vector<long> starts;
    JoinedFormats joined;
    // The first paragraph continues nothing, whatever its format says.
    QTextBlock block = text_->begin();
    long position = block.length();
    for (block = block.next(); block.isValid(); block = block.next()) {
        if (joined(block))
            starts.push_back(position);
        position += block.length();
    }
    map_ = JoinMap(std::move(starts));
    dirty_ = false;
    characters_ = text_->characterCount();
    blocks_ = text_->blockCount();
    return map_;
}

} // namespace zu
