// SfmlTextBox: wrapping, text offsets, hit testing, selection copy and drawing
// of the text area; TextMeter, the incremental sf::Text measurement both
// widgets use.
#include "ui/widgets/text_box.h"

#include "ui/widgets/scrollbar.h"

#include "appearance/themes.h"
#include "ui/draw.h"
#include <SFML/Window/Clipboard.hpp>

#include <algorithm>
#include <cmath>
#include <optional>

namespace ludexa {

namespace {
constexpr float kScrollbarWidth = 6;  // the track at the right edge, while the text is longer than the box
}  // namespace

// ---- TextMeter ---------------------------------------------------------------
// Every step below repeats sf::Text's own arithmetic in its own order, so the
// widths come out bit for bit the same as a measured sf::Text.

TextMeter::TextMeter(const sf::Font& font, unsigned charSize, bool bold)
    : font_(font), charSize_(charSize), bold_(bold), spaceAdvance_(font.getGlyph(U' ', charSize, bold).advance) {}

TextMeter::Run TextMeter::start() const {
    Run run;
    run.minX = static_cast<float>(charSize_);
    return run;
}

TextMeter::Run TextMeter::append(Run run, char32_t c) const {
    ++run.count;
    if (c == U'\r') return run;  // sf::Text skips it, kerning included
    run.x += font_.getKerning(run.prev, c, charSize_);
    run.prev = c;
    if (c == U' ' || c == U'\t' || c == U'\n') {
        run.minX = std::min(run.minX, run.x);
        if (c == U' ')
            run.x += spaceAdvance_;
        else if (c == U'\t')
            run.x += spaceAdvance_ * 4;
        else
            run.x = 0;
        run.maxX = std::max(run.maxX, run.x);
        return run;
    }
    const sf::Glyph& glyph = font_.getGlyph(c, charSize_, bold_);
    const float left = glyph.bounds.left;
    const float right = glyph.bounds.left + glyph.bounds.width;
    run.minX = std::min(run.minX, run.x + left);
    run.maxX = std::max(run.maxX, run.x + right);
    run.x += glyph.advance;
    return run;
}

float TextMeter::width(const Run& run) const { return run.count == 0 ? 0.f : run.maxX - run.minX; }

float TextMeter::width(std::wstring_view s) const {
    Run run = start();
    for (wchar_t c : s) run = append(run, static_cast<char32_t>(c));
    return width(run);
}

std::vector<float> TextMeter::prefixWidths(std::wstring_view s) const {
    std::vector<float> widths;
    widths.reserve(s.size() + 1);
    Run run = start();
    widths.push_back(0);
    for (wchar_t c : s) {
        run = append(run, static_cast<char32_t>(c));
        widths.push_back(width(run));
    }
    return widths;
}

std::vector<float> TextMeter::caretXs(std::wstring_view s) const {
    std::vector<float> xs;
    xs.reserve(s.size() + 1);
    float x = 0;
    char32_t prev = 0;
    xs.push_back(x);
    for (wchar_t wc : s) {
        const auto c = static_cast<char32_t>(wc);
        x += font_.getKerning(prev, c, charSize_);
        prev = c;
        if (c == U' ')
            x += spaceAdvance_;
        else if (c == U'\t')
            x += spaceAdvance_ * 4;
        else if (c == U'\n')
            x = 0;
        else
            x += font_.getGlyph(c, charSize_, bold_).advance;
        xs.push_back(x);
    }
    return xs;
}


// ---- SfmlTextBox ---------------------------------------------------------------

void SfmlTextBox::setText(const std::wstring& newText, bool bold) {
    text = newText;
    boldFirstLine = bold;
    scrollOffset = 0;
    selStart = selEnd = 0;
    buildLines();
}

float SfmlTextBox::maxWheelScroll() const { return std::max(0.f, contentHeight - height + 2 * marginY); }

void SfmlTextBox::buildLines() {
    lines.clear();
    contentHeight = 0;
    // The scrollbar's 6 pixels are kept whether or not it is shown, so lines
    // do not rewrap when the content grows past the view.
    const float usable = width - 2 * marginX - 6;
    if (font && usable > 0) {
        const TextMeter normal(*font, charSize, false);
        std::optional<TextMeter> bold;
        if (boldFirstLine) bold.emplace(*font, charSize, true);

        int paragraph = 0;
        int offset = 0;  // text offset of the next character
        const TextMeter* meter = bold ? &*bold : &normal;
        VisualLine current{{}, 0, 0};
        TextMeter::Run run = meter->start();
        for (wchar_t c : text) {
            if (c == L'\r') continue;
            if (c == L'\n') {
                // An empty paragraph still takes one (empty) line.
                lines.push_back(std::move(current));
                ++offset;
                ++paragraph;
                meter = &normal;
                current = VisualLine{{}, paragraph, offset};
                run = meter->start();
                continue;
            }
            const TextMeter::Run candidate = meter->append(run, static_cast<char32_t>(c));
            // A character is always taken on an empty line, however narrow the box.
            if (meter->width(candidate) <= usable || current.text.empty()) {
                current.text.push_back(c);
                run = candidate;
            } else {
                lines.push_back(std::move(current));
                current = VisualLine{std::wstring(1, c), paragraph, offset};
                run = meter->append(meter->start(), static_cast<char32_t>(c));
            }
            ++offset;
        }
        lines.push_back(std::move(current));
        contentHeight = static_cast<float>(lines.size()) * lineHeight();
    }
    // A rewrap at a larger width or a smaller size can shorten the content:
    // keep the view on it instead of on empty space below the end.
    scrollOffset = std::clamp(scrollOffset, 0.f, maxWheelScroll());
}

int SfmlTextBox::getRawOffset(int lineIndex) const {
    if (lineIndex < 0 || lineIndex >= static_cast<int>(lines.size())) return 0;
    return lines[static_cast<std::size_t>(lineIndex)].start;
}

float SfmlTextBox::charX(int lineIndex, int count, bool bold) const {
    if (!font || lineIndex < 0 || lineIndex >= static_cast<int>(lines.size()) || count < 1) return 0;
    const std::wstring& line = lines[static_cast<std::size_t>(lineIndex)].text;
    if (line.empty()) return 0;
    const auto xs = TextMeter(*font, charSize, bold).caretXs(line);
    return xs[std::min(static_cast<std::size_t>(count), line.size())] - xs[0];
}

int SfmlTextBox::hitTest(float px, float py) const {
    if (!font || lines.empty()) return 0;
    const float rowF = (py - y - marginY + scrollOffset) / lineHeight();
    const int last = static_cast<int>(lines.size()) - 1;
    // Compared as floats first: a far-off point must not overflow the int.
    int row = 0;
    if (rowF >= static_cast<float>(last))
        row = last;
    else if (rowF > 0)
        row = static_cast<int>(rowF);
    const VisualLine& line = lines[static_cast<std::size_t>(row)];
    const bool bold = boldFirstLine && line.paragraphIndex == 0;
    const auto xs = TextMeter(*font, charSize, bold).caretXs(line.text);
    std::size_t best = 0;
    float bestDistance = std::abs(x + marginX - px);
    for (std::size_t k = 1; k < xs.size(); ++k) {
        const float distance = std::abs(xs[k] - xs[0] + x + marginX - px);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = k;
        }
    }
    return line.start + static_cast<int>(best);
}

std::wstring SfmlTextBox::selectedText() const {
    const int lo = std::min(selStart, selEnd);
    const int hi = std::max(selStart, selEnd);
    std::wstring out;
    if (lo == hi) return out;
    int index = 0;
    for (wchar_t c : text) {
        if (c == L'\r') continue;
        if (index >= hi) break;
        if (index >= lo) out.push_back(c);
        ++index;
    }
    return out;
}

void SfmlTextBox::copySelection() const {
    const std::wstring selected = selectedText();
    if (!selected.empty()) sf::Clipboard::setString(sf::String(selected));
}

bool SfmlTextBox::contains(float px, float py) const {
    return px >= x && px <= x + width && py >= y && py <= y + height;
}

void SfmlTextBox::press(float px, float py) {
    focused = true;
    if (contentHeight > height && px >= x + width - kScrollbarWidth) {
        const ScrollThumb thumb = scrollThumb(height, contentHeight, scrollOffset);
        const float thumbTop = y + thumb.offset;
        if (py >= thumbTop && py <= thumbTop + thumb.length) {
            draggingThumb = true;
            thumbDragStartY = py;
            thumbDragStartScroll = scrollOffset;
        } else {
            scrollOffset = std::clamp((py - y) / height * (contentHeight - height), 0.0f, contentHeight - height);
        }
        return;
    }
    caretPos = selStart = selEnd = hitTest(px, py);
    caretVisible = true;
    caretClock.restart();
    selecting = true;
}

void SfmlTextBox::drag(float px, float py) {
    if (draggingThumb) {
        if (contentHeight > height)
            scrollOffset = scrollAfterThumbDrag(height, contentHeight, thumbDragStartScroll, py - thumbDragStartY);
    } else if (selecting) {
        caretPos = selEnd = hitTest(px, py);
    }
}

void SfmlTextBox::release() {
    selecting = false;
    draggingThumb = false;
}

void SfmlTextBox::draw(sf::RenderTarget& target) {
    if (!font || !(width > 0) || !(height > 0)) return;
    const float lh = lineHeight();
    const float backgroundWidth = contentHeight > height ? width - kScrollbarWidth : width;

    sf::RectangleShape background({backgroundWidth, height});
    background.setPosition(x, y);
    background.setFillColor(backgroundColor);
    target.draw(background);

    {
        const ClipScope clip(target, x, y, backgroundWidth, height);
        const int lo = std::min(selStart, selEnd);
        const int hi = std::max(selStart, selEnd);
        const int lineCount = static_cast<int>(lines.size());
        // Only the lines in view, plus one above and one below; the float
        // comparisons keep a huge scroll from overflowing the int.
        const float firstF = std::trunc(scrollOffset / lh) - 1;
        const float lastF = std::trunc((height + scrollOffset) / lh) + 1;
        const int first = firstF > 0 ? static_cast<int>(std::min(firstF, static_cast<float>(lineCount))) : 0;
        const int last = lastF < static_cast<float>(lineCount - 1) ? static_cast<int>(lastF) : lineCount - 1;
        for (int i = first; i <= last; ++i) {
            const VisualLine& line = lines[static_cast<std::size_t>(i)];
            const float lineY = y + marginY + static_cast<float>(i) * lh - scrollOffset;
            if (lineY + lh < y || lineY > y + height) continue;
            const bool bold = boldFirstLine && line.paragraphIndex == 0;
            const float textX = x + marginX;
            if (lo != hi && !line.text.empty()) {
                const int a = std::max(lo, line.start);
                const int b = std::min(line.start + static_cast<int>(line.text.size()), hi);
                if (a < b) {
                    const auto xs = TextMeter(*font, charSize, bold).caretXs(line.text);
                    const float ax = xs[static_cast<std::size_t>(a - line.start)] - xs[0];
                    const float bx = xs[static_cast<std::size_t>(b - line.start)] - xs[0];
                    sf::RectangleShape selection({bx - ax, lh});
                    selection.setPosition(textX + ax, lineY);
                    selection.setFillColor(selectionColor);
                    target.draw(selection);
                }
            }
            sf::Text lineText(sf::String(line.text), *font, charSize);
            lineText.setFillColor(bold ? headerColor : textColor);
            if (bold) lineText.setStyle(sf::Text::Bold);
            lineText.setPosition(textX, lineY);
            target.draw(lineText);
        }

        if (focused && selStart == selEnd && !lines.empty()) {
            if (caretClock.getElapsedTime().asMilliseconds() > 499) {
                caretVisible = !caretVisible;
                caretClock.restart();
            }
            if (caretVisible) {
                // Line ends never decrease, so the caret's line is found by bisection.
                const auto it = std::partition_point(lines.begin(), lines.end(), [this](const VisualLine& l) {
                    return l.start + static_cast<int>(l.text.size()) < caretPos;
                });
                const std::size_t i = it == lines.end() ? lines.size() - 1 : static_cast<std::size_t>(it - lines.begin());
                const VisualLine& line = lines[i];
                const int column = std::clamp(caretPos - line.start, 0, static_cast<int>(line.text.size()));
                const float caretY = y + marginY + static_cast<float>(i) * lh - scrollOffset;
                // Not on a line cut by the box edge: half a caret looks like a glitch.
                if (caretY >= y && caretY + lh <= y + height) {
                    const bool bold = boldFirstLine && line.paragraphIndex == 0;
                    sf::RectangleShape caret({1.5f, lh - 2});
                    caret.setPosition(x + marginX + charX(static_cast<int>(i), column, bold), caretY + 1);
                    caret.setFillColor(textColor);
                    target.draw(caret);
                }
            }
        }
    }

    if (contentHeight > height) {
        sf::RectangleShape track({kScrollbarWidth, height});
        track.setPosition(x + width - kScrollbarWidth, y);
        track.setFillColor(scrollTrackColor);
        target.draw(track);
        const ScrollThumb bar = scrollThumb(height, contentHeight, scrollOffset);
        sf::RectangleShape thumb({4, bar.length});
        thumb.setPosition(x + width - kScrollbarWidth + 1, y + bar.offset);
        thumb.setFillColor(draggingThumb ? kTextThumbDragged : scrollThumbColor);
        target.draw(thumb);
    }
}

}  // namespace ludexa
