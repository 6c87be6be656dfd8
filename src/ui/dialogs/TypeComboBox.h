#pragma once
// CTypeComboBox: the PEQ band dialog's filter type list. While it is disabled (the band
// is not flat) the list cannot be opened, but the current type stays as legible as
// when it is enabled.

#include <QComboBox>

namespace kv {

class CTypeComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CTypeComboBox(QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    void keepTextLegible();
};

}  // namespace kv
