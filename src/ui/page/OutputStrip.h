#pragma once
// The right-hand strip of an output page: for both outputs side by side, the gain as
// text and on an image slider, the level meter, and the Mute and polarity buttons. Every
// page shows both outputs; each control writes its own output's value into the document.

#include <array>
#include <memory>

#include "document/KorvaliserDoc.h"
#include "ui/page/PagePart.h"

class QLabel;
class QLineEdit;

namespace kv {

class CImageSlider;
class CLevelMeters;
class PageButton;
struct GraphImages;

class OutputStrip : public PagePart {
    Q_OBJECT
public:
    // images are the sheet's, shared with the meters of the other page.
    OutputStrip(CKorvaliserDoc& document, std::shared_ptr<GraphImages> images, QWidget* page);
    ~OutputStrip() override;

    // Both outputs' gain, mute and polarity as the document holds them.
    void refresh();
    // Gives the buttons their texts again so that they repaint (after a paste).
    void relabelButtons();
    void showMeters(int output0, int output1);
    // The page stops being the current page: a slider drag in progress ends its undo step.
    void endSliderStep() { sliderStep_.close(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Column {
        QLabel* caption = nullptr;
        QLineEdit* gainEdit = nullptr;
        CImageSlider* slider = nullptr;
        QWidget* meter = nullptr;
        PageButton* mute = nullptr;
        PageButton* polarity = nullptr;
        bool gainTextChanged = false;
    };

    void buildColumn(int output);
    void connectColumn(int output);
    Column& column(int output) { return columns_[static_cast<std::size_t>(output)]; }
    void showGain(int output);
    void toggleMute(int output);
    void toggleInvert(int output);
    void commitGainText(int output);
    void gainFromSlider(int output);

    CKorvaliserDoc& doc_;
    std::unique_ptr<CLevelMeters> meterBars_;
    std::array<Column, 2> columns_{};
    UndoStepLatch sliderStep_;
};

}  // namespace kv
