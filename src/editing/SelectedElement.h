#pragma once
// What an output page has selected: nothing, one of its crossover filters, or a PEQ band.
// The rows light the selected band, the graph shades the selected element's curve, and a
// marker press selects its band.

#include <optional>

namespace kv {

// The values are the page's selection codes: 0 none, 1 high-pass, 2 low-pass, 3 + b for
// PEQ band b (a band's element lies beyond FirstBand, see bandElement).
enum class SelectedElement : int { None = 0, HighPass = 1, LowPass = 2, FirstBand = 3 };

constexpr SelectedElement bandElement(int band) {
    return static_cast<SelectedElement>(static_cast<int>(SelectedElement::FirstBand) + band);
}

// The PEQ band an element stands for; nothing for no selection and the crossovers.
constexpr std::optional<int> bandOfElement(SelectedElement element) {
    const int code = static_cast<int>(element);
    const int first = static_cast<int>(SelectedElement::FirstBand);
    if (code < first) return std::nullopt;
    return code - first;
}

// The code that the page state keeps for an element.
constexpr int selectionCode(SelectedElement element) { return static_cast<int>(element); }

}  // namespace kv
