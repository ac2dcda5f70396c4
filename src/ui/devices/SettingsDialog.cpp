#include "ui/devices/SettingsDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStringList>
#include <exception>
#include <string>

#include "core/common/error.h"
#include "core/devices/scale.h"
#include "core/store/database.h"
#include "ui/common/MessageBox.h"
#include "ui/devices/PrinterChoice.h"
#include "ui_SettingsDialog.h"

namespace ui {
namespace {

constexpr char kDefaultDrawerCommand[] = "27, 112, 0, 128, 128";
constexpr char kYes[] = "是";
constexpr char kNo[] = "否";

// One dotted IPv4 address; shorter prefixes are Intermediate, so typing is never blocked.
constexpr char kIpv4Pattern[] =
    R"(((25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d)\.){3}(25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d))";

std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }
std::string Text(const QComboBox* combo) { return combo->currentText().toStdString(); }
QString Shown(const std::string& text) { return QString::fromStdString(text); }

// Shows an integer column as the screen does ("%d").
QString Shown(int value) { return QString::number(value); }

void FillChoices(QComboBox* combo, const QStringList& choices) {
  combo->addItems(choices);
  // No entry is chosen until the stored text arrives, so a failed load leaves the box empty.
  combo->setCurrentIndex(-1);
}

// Leaves every button of the group unchecked, which an exclusive group refuses otherwise.
void UncheckAll(QButtonGroup* group) {
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(false);
  group->setExclusive(true);
}

}  // namespace

SettingsDialog::SettingsDialog(QWidget* parent, const QString& workno)
    : QDialog(parent), ui_(std::make_unique<Ui::SettingsDialog>()), workno_(workno) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  ui_->scaleIpEdit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QString(kIpv4Pattern)), ui_->scaleIpEdit));

  connect(ui_->saveButton, &QPushButton::clicked, this, &SettingsDialog::OnSave);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &SettingsDialog::reject);
  connect(ui_->downloadPluButton, &QPushButton::clicked, this, &SettingsDialog::OnDownloadPlu);

  FillChoiceLists();
  LoadFromDatabase();
  if (ui_->drawerCommandEdit->text().isEmpty()) {
    ui_->drawerCommandEdit->setText(kDefaultDrawerCommand);
  }
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::keyPressEvent(QKeyEvent* event) {
  // There is no help for this screen; F1 does nothing.
  if (event->key() == Qt::Key_F1) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void SettingsDialog::FillChoiceLists() {
  FillChoices(ui_->printerControlCombo, {"POS58", "驱动打印", "驱动76mm", "不打印"});
  FillChoices(ui_->displayControlCombo, {"LED8N", "不显示"});
  FillChoices(ui_->printerPortCombo, {"lpt1", "com1"});
  // Driver printing to a name ending in ".pdf" writes that file: a till without a printer.
  OfferPrinters(ui_->printerNameCombo, "小票");
  FillChoices(ui_->displayPortCombo, {"com1", "com2", "com3", "com4"});
  FillChoices(ui_->printTimesCombo, {"0", "1", "2"});
  FillChoices(ui_->moneyBoxCombo, {"弹出", "不弹出"});
  FillChoices(ui_->comScalePortCombo, {"com1", "com2", "com3", "com4"});
}

void SettingsDialog::LoadFromDatabase() {
  try {
    ShowRecord(devices::LoadSettings());
  } catch (const store::DbError&) {
    // An unreadable database leaves the screen empty; saving then names what is missing.
  }
}

void SettingsDialog::ShowRecord(const devices::ManagementRecord& r) {
  ui_->displayControlCombo->setCurrentText(Shown(r.displaycontrol));
  ui_->displayPortCombo->setCurrentText(Shown(r.displayport));
  ui_->printerControlCombo->setCurrentText(Shown(r.printercontrol));
  ui_->printerPortCombo->setCurrentText(Shown(r.printerport));
  ui_->printerNameCombo->setCurrentText(Shown(r.printername));
  ui_->printTimesCombo->setCurrentText(Shown(r.printtimes));
  ui_->moneyBoxCombo->setCurrentText(Shown(r.moneyboxcontrol));
  ui_->drawerCommandEdit->setText(Shown(r.opencashiercmd));
  ui_->welcomeEdit->setText(Shown(r.welcome));
  ui_->byeEdit->setText(Shown(r.bye));
  ui_->emptyLinesEdit->setText(Shown(r.emptylines));
  ui_->idleLockEdit->setText(Shown(r.idlelockminutes));

  if (r.priceforcost == "averageprice") {
    ui_->averagePriceRadio->setChecked(true);
  } else {
    ui_->recentPriceRadio->setChecked(true);
  }
  UncheckAll(ui_->wipeButtonGroup);
  if (r.wipevalue == 2) ui_->noWipeRadio->setChecked(true);
  if (r.wipevalue == 1) ui_->wipeJiaoRadio->setChecked(true);
  if (r.wipevalue == 0) ui_->wipeYuanRadio->setChecked(true);

  ui_->baseValueEdit->setText(Shown(r.basevalue));
  ui_->pointsValueEdit->setText(Shown(r.pointsvalue));
  ui_->scaleCheck->setChecked(r.scale == kYes);
  ui_->scaleFlagEdit->setText(Shown(r.scalesimple));
  ui_->scaleCodeDigitsEdit->setText(Shown(r.scalebarcode));
  ui_->scaleAmountDigitsEdit->setText(Shown(r.scalevalue));
  ui_->scaleIpEdit->setText(Shown(r.scaleip));
  ui_->touchFrontCheck->setChecked(r.usescalefront == kYes);
  ui_->comScaleCheck->setChecked(r.usecomscale == kYes);
  ui_->comScalePortCombo->setCurrentText(Shown(r.comscaleport));
}

devices::ManagementRecord SettingsDialog::ReadRecord() const {
  devices::ManagementRecord r;
  r.displaycontrol = Text(ui_->displayControlCombo);
  r.displayport = Text(ui_->displayPortCombo);
  r.printercontrol = Text(ui_->printerControlCombo);
  r.printerport = Text(ui_->printerPortCombo);
  r.printername = Text(ui_->printerNameCombo);
  r.printtimes =
      devices::ParseSettingsInteger(Text(ui_->printTimesCombo), "打印张数", "printtimes");
  r.moneyboxcontrol = Text(ui_->moneyBoxCombo);
  r.opencashiercmd = Text(ui_->drawerCommandEdit);
  r.welcome = Text(ui_->welcomeEdit);
  r.bye = Text(ui_->byeEdit);
  r.emptylines = devices::ParseSettingsInteger(Text(ui_->emptyLinesEdit), "票尾空行", "emptylines");
  r.idlelockminutes =
      devices::ParseSettingsInteger(Text(ui_->idleLockEdit), "自动锁屏分钟数", "idlelockminutes");
  r.priceforcost = ui_->averagePriceRadio->isChecked() ? "averageprice" : "recentprice";
  r.wipevalue = ui_->noWipeRadio->isChecked()     ? 2
                : ui_->wipeJiaoRadio->isChecked() ? 1
                : ui_->wipeYuanRadio->isChecked() ? 0
                                                  : -1;  // refused by the core's checks
  r.basevalue = devices::ParseSettingsInteger(Text(ui_->baseValueEdit), "会员积分规则的消费金额",
                                              "basevalue");
  r.pointsvalue = devices::ParseSettingsInteger(Text(ui_->pointsValueEdit), "会员积分规则的积分",
                                                "pointsvalue");
  r.scale = ui_->scaleCheck->isChecked() ? kYes : kNo;
  r.scalesimple = Text(ui_->scaleFlagEdit);
  r.scalebarcode =
      devices::ParseSettingsInteger(Text(ui_->scaleCodeDigitsEdit), "商品码位数", "scalebarcode");
  r.scalevalue =
      devices::ParseSettingsInteger(Text(ui_->scaleAmountDigitsEdit), "金额位数", "scalevalue");
  // The scale tool needs a whole address; an empty one is stored as it is.
  if (!ui_->scaleIpEdit->text().isEmpty() && !ui_->scaleIpEdit->hasAcceptableInput()) {
    throw kasso::ValidationError("电子称IP地址不正确", "scaleip");
  }
  r.scaleip = Text(ui_->scaleIpEdit);
  r.usescalefront = ui_->touchFrontCheck->isChecked() ? kYes : kNo;
  r.usecomscale = ui_->comScaleCheck->isChecked() ? kYes : kNo;
  r.comscaleport = Text(ui_->comScalePortCombo);
  return r;
}

void SettingsDialog::OnSave() {
  devices::ManagementRecord record;
  try {
    record = ReadRecord();
    devices::SaveSettings(record, workno_.toStdString());
  } catch (const kasso::ValidationError& error) {
    ui::ShowMessage(this, QString::fromStdString(error.what()));
    FocusField(error.field());
    return;
  } catch (const store::DbError&) {
    // Nothing was written, so the user must not be told otherwise.
    ui::ShowMessage(this, "无法打开数据库，设定没有保存");
    return;
  }
  try {
    devices::SaveScaleAddressFile(record.scaleip, store::DataDirectory());
  } catch (const kasso::UserError& error) {
    ui::ShowMessage(this, QString::fromStdString(error.what()));
  }
  ui::ShowMessage(this, "保存成功");
}

void SettingsDialog::OnDownloadPlu() {
  QString message;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    message = QString::fromStdString(devices::DownloadPluToScale(store::DataDirectory()));
  } catch (const kasso::UserError& error) {
    message = QString::fromStdString(error.what());
  } catch (const std::exception&) {
    message = "商品信息下载失败";
  }
  QApplication::restoreOverrideCursor();
  if (!message.isEmpty()) ui::ShowMessage(this, message);
}

void SettingsDialog::FocusField(const std::string& field) {
  QWidget* target = nullptr;
  if (field == "displayport") target = ui_->displayPortCombo;
  if (field == "printerport") target = ui_->printerPortCombo;
  if (field == "comscaleport") target = ui_->comScalePortCombo;
  if (field == "printtimes") target = ui_->printTimesCombo;
  if (field == "emptylines") target = ui_->emptyLinesEdit;
  if (field == "idlelockminutes") target = ui_->idleLockEdit;
  if (field == "wipevalue") target = ui_->noWipeRadio;
  if (field == "basevalue") target = ui_->baseValueEdit;
  if (field == "pointsvalue") target = ui_->pointsValueEdit;
  if (field == "scalebarcode") target = ui_->scaleCodeDigitsEdit;
  if (field == "scalevalue") target = ui_->scaleAmountDigitsEdit;
  if (field == "scaleip") target = ui_->scaleIpEdit;
  if (!target) return;
  target->setFocus(Qt::OtherFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(target)) edit->selectAll();
}

}  // namespace ui
