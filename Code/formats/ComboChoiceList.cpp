#include "formats/ComboChoiceList.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

TComboChoiceList::TComboChoiceList(QComboBox *comboBox) : m_comboBox(comboBox) {}

bool TComboChoiceList::Enabled() const
{
    return m_comboBox->isEnabled();
}

void TComboChoiceList::SetEnabled(bool enabled)
{
    m_comboBox->setEnabled(enabled);
}

int TComboChoiceList::DoCount() const
{
    return m_comboBox->count();
}

std::string TComboChoiceList::DoItem(int index) const
{
    return m_comboBox->itemText(index).toStdString();
}

void TComboChoiceList::DoAdd(const std::string &text)
{
    const QSignalBlocker blocker(m_comboBox);
    const int selected = m_comboBox->currentIndex();
    const QString shown = m_comboBox->currentText();
    m_comboBox->addItem(QString::fromStdString(text));
    // QComboBox selects the first entry added to an empty list; a list selects only what it is
    // told to.
    if (selected < 0 && m_comboBox->currentIndex() >= 0) {
        m_comboBox->setCurrentIndex(-1);
        if (QLineEdit *edit = m_comboBox->lineEdit()) {
            const QSignalBlocker editBlocker(edit);
            edit->setText(shown);
        }
    }
}

void TComboChoiceList::DoClear()
{
    const QSignalBlocker blocker(m_comboBox);
    m_comboBox->clear();
}

int TComboChoiceList::DoItemIndex() const
{
    return m_comboBox->currentIndex();
}

void TComboChoiceList::DoSetItemIndex(int index)
{
    const QSignalBlocker blocker(m_comboBox);
    m_comboBox->setCurrentIndex(index);
    if (index < 0 && m_comboBox->lineEdit())
        m_comboBox->lineEdit()->clear();
}

std::string TComboChoiceList::DoText() const
{
    return m_comboBox->currentText().toStdString();
}

void TComboChoiceList::DoSetText(const std::string &text)
{
    if (!m_comboBox->lineEdit())
        return;
    const QSignalBlocker blocker(m_comboBox);
    const QSignalBlocker editBlocker(m_comboBox->lineEdit());
    m_comboBox->lineEdit()->setText(QString::fromStdString(text));
}
