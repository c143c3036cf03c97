#include "choosestocktakedlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace fx::stocktake {

ChooseStocktakeDlg::ChooseStocktakeDlg(const QString& caption, std::vector<Stocktake> choices,
                                       QWidget* parent)
    : QDialog(parent), choices_(std::move(choices)) {
    setObjectName(QStringLiteral("ChooseStocktakeDlg"));
    setWindowTitle(caption);
    StocktakeBox = new QComboBox(this);
    StocktakeBox->setObjectName(QStringLiteral("StocktakeBox"));
    for (const Stocktake& s : choices_)
        StocktakeBox->addItem(s.name + (s.isOpen() ? QString() : QStringLiteral("（已结束）")));
    OkButton = new QPushButton(QStringLiteral("确定"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("取消"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("盘点："), this));
    layout->addWidget(StocktakeBox);
    layout->addLayout(buttons);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

int ChooseStocktakeDlg::chosenId() const {
    const int i = StocktakeBox->currentIndex();
    return i >= 0 && i < int(choices_.size()) ? choices_[std::size_t(i)].id : 0;
}

}  // namespace fx::stocktake
