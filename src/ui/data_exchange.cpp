#include "ui/data_exchange.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>

#include "ui/local_text.h"
#include "ui/template_builder.h"

namespace quillmere {

void DataExchange::Control(int id, QComboBox*& control) {
  if (control == nullptr) {
    control = qobject_cast<QComboBox*>(ControlById(dialog_, id));
  }
}

void DataExchange::Check(int id, std::int32_t& field) {
  auto* button = qobject_cast<QAbstractButton*>(ControlById(dialog_, id));
  if (button == nullptr) {
    return;
  }
  if (direction_ == ExchangeDirection::kFieldsToControls) {
    button->setChecked(field != 0);
  } else {
    field = button->isChecked() ? 1 : 0;
  }
}

void DataExchange::Text(int id, std::string& field) {
  auto* edit = qobject_cast<QLineEdit*>(ControlById(dialog_, id));
  if (edit == nullptr) {
    return;
  }
  if (direction_ == ExchangeDirection::kFieldsToControls) {
    edit->setText(FromLocal8Bit(field));
  } else {
    field = ToLocal8Bit(edit->text());
  }
}

void DataExchange::ListIndex(int id, std::int32_t& field) {
  auto* list = qobject_cast<QComboBox*>(ControlById(dialog_, id));
  if (list == nullptr) {
    return;
  }
  if (direction_ == ExchangeDirection::kFieldsToControls) {
    list->setCurrentIndex(field);
  } else {
    field = list->currentIndex();
  }
}

}  // namespace quillmere
