#include "app/qt/MainWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/qt/FormBinding.h"
#include "app/qt/NumberEdit.h"
#include "app/window/RetrievalForm.h"

namespace orvane {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

MainWindow::MainWindow(RetrievalForm& form, QWidget* parent)
    : QMainWindow(parent), m_form(form), m_binding(new FormBinding(form, this)) {
  setWindowTitle(q(form.caption()));
  setObjectName("RetrievalForm");
  buildMenus();

  auto* central = new QWidget(this);
  auto* columns = new QHBoxLayout;
  columns->addWidget(buildNumberPanel(), 2);
  columns->addWidget(buildServicePanel(), 3);
  auto* rows = new QVBoxLayout(central);
  rows->addLayout(columns, 0);
  rows->addWidget(buildStatusPanel(), 1);
  setCentralWidget(central);
  resize(820, 640);
  m_binding->syncAll();
}

QWidget* MainWindow::button(const std::string& name) {
  auto* b = new QPushButton(q(m_form.control(name).caption()));
  b->setObjectName(q(name));
  connect(b, &QPushButton::clicked, this, [this, name] { m_form.handleClick(name); });
  m_binding->bind(name, b);
  return b;
}

QWidget* MainWindow::checkBox(const std::string& name) {
  auto* box = new QCheckBox(q(m_form.control(name).caption()));
  box->setObjectName(q(name));
  connect(box, &QCheckBox::clicked, this, [this, name](bool checked) {
    m_form.control(name).setChecked(checked);
    m_form.handleClick(name);
  });
  m_binding->bind(name, box);
  return box;
}

QWidget* MainWindow::label(const std::string& name) {
  auto* l = new QLabel(q(m_form.control(name).caption()));
  l->setObjectName(q(name));
  m_binding->bind(name, l);
  return l;
}

QWidget* MainWindow::frame(const std::string& name, QWidget* content) {
  auto* box = new QGroupBox(q(m_form.control(name).caption()));
  box->setObjectName(q(name));
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(8, 4, 8, 6);
  layout->addWidget(content);
  m_binding->bind(name, box);
  return box;
}

void MainWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu(q(m_form.ui().mnuFile.caption()));
  auto addItem = [this](QWidget* owner, const std::string& name, bool checkable) {
    auto* action = new QAction(q(m_form.control(name).caption()), owner);
    action->setObjectName(q(name));
    action->setCheckable(checkable);
    connect(action, &QAction::triggered, this, [this, name, action] {
      m_form.handleClick(name);
      if (action->isCheckable()) action->setChecked(m_form.control(name).checked());
    });
    m_binding->bindAction(name, action);
    return action;
  };
  file->addAction(addItem(file, "mnuOpen", false));
  file->addAction(addItem(file, "mnuBad", true));
  file->addSeparator();
  file->addAction(addItem(file, "mnuExit", false));
  menuBar()->addAction(addItem(menuBar(), "mnuSet", false));
  menuBar()->addAction(addItem(menuBar(), "mnuAbout", false));
}

QWidget* MainWindow::buildNumberPanel() {
  auto* panel = new QGroupBox(QString::fromUtf8("특허번호 (한 줄에 하나)"));
  auto* layout = new QVBoxLayout(panel);
  auto* edit = new NumberEdit([this](std::string& typed) { m_form.TextBox1_KeyPress(typed); });
  edit->setObjectName("TextBox1");
  edit->setPlaceholderText(QStringLiteral("EP1033882A1\nUS5007025\n..."));
  connect(edit, &QPlainTextEdit::textChanged, this,
          [this, edit] { m_form.ui().TextBox1.setText(edit->toPlainText().toStdString()); });
  m_binding->bind("TextBox1", edit);
  layout->addWidget(edit, 1);

  auto* tools = new QHBoxLayout;
  tools->addWidget(button("clearBtn"));
  tools->addStretch(1);
  QWidget* help = button("Command1");
  help->setFixedWidth(32);
  help->setToolTip(QStringLiteral("Patent No. 입력형식"));
  tools->addWidget(help);
  layout->addLayout(tools);
  return panel;
}

QWidget* MainWindow::buildServicePanel() {
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);

  auto* dbRow = new QWidget;
  auto* dbLayout = new QHBoxLayout(dbRow);
  dbLayout->setContentsMargins(0, 0, 0, 0);
  for (const char* name : {"btnE", "btnU", "btnI", "btnD", "btnK", "btnO"}) {
    QWidget* b = button(name);
    b->setFixedSize(36, 30);
    dbLayout->addWidget(b);
  }
  dbLayout->addSpacing(12);
  auto* service = qobject_cast<QLabel*>(label("lblDB"));
  QFont bold = service->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.3);
  service->setFont(bold);
  dbLayout->addWidget(service, 1);
  layout->addWidget(frame("frDB", dbRow));

  auto labels = [this](std::initializer_list<const char*> names) {
    auto* w = new QWidget;
    auto* l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    for (const char* name : names) l->addWidget(label(name));
    l->addStretch(1);
    return w;
  };
  layout->addWidget(frame("frESPACE", labels({"lblESPACE1", "lblESPACE2"})));
  layout->addWidget(frame("frUSPTO", labels({"lblUSPTO"})));
  {
    QWidget* row = labels({"lblIPDL"});
    auto* kinds = new QComboBox;
    kinds->setObjectName("cboIPDL");
    connect(kinds, &QComboBox::activated, this, [this, kinds](int index) {
      m_form.ui().cboIPDL.setText(kinds->itemText(index).toStdString());
      m_form.handleClick("cboIPDL");
    });
    m_binding->bind("cboIPDL", kinds);
    qobject_cast<QHBoxLayout*>(row->layout())->insertWidget(1, kinds);
    layout->addWidget(frame("frIPDL", row));
  }
  layout->addWidget(frame("frDELPHION", labels({"lblDELPHION"})));
  layout->addWidget(frame("frKIPRIS", labels({"lblKIPRIS"})));
  layout->addWidget(frame("frOPS", labels({"lblOPS"})));

  auto* range = new QWidget;
  auto* grid = new QGridLayout(range);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(checkBox("CheckBox4"), 0, 0);
  grid->addWidget(checkBox("CheckBox5"), 1, 0);
  auto* pages = new QLineEdit;
  pages->setObjectName("TextBox3");
  pages->setPlaceholderText(QStringLiteral("1,3"));
  connect(pages, &QLineEdit::textEdited, this,
          [this](const QString& text) { m_form.ui().TextBox3.setText(text.toStdString()); });
  m_binding->bind("TextBox3", pages);
  grid->addWidget(pages, 1, 1);
  QWidget* pagesHelp = button("badCom");
  pagesHelp->setFixedWidth(32);
  pagesHelp->setToolTip(QStringLiteral("페이지번호 입력형식"));
  grid->addWidget(pagesHelp, 1, 2);
  auto* sections = new QHBoxLayout;
  sections->addWidget(checkBox("CheckBox6"));
  sections->addSpacing(12);
  sections->addWidget(checkBox("CheckBox7"));
  sections->addSpacing(12);
  sections->addWidget(checkBox("CheckBox8"));
  sections->addStretch(1);
  grid->addLayout(sections, 2, 0, 1, 3);
  grid->addWidget(checkBox("CheckBox9"), 3, 0);
  grid->setColumnStretch(1, 1);
  layout->addWidget(frame("frSave", range));
  layout->addWidget(frame("frPAJ", label("lblPAJ")));

  auto* run = new QHBoxLayout;
  auto* start = qobject_cast<QPushButton*>(button("CommandButton1"));
  start->setMinimumHeight(36);
  start->setDefault(true);
  run->addWidget(start, 2);
  run->addWidget(button("tempStopBtn"), 1);
  run->addWidget(button("allStopBtn"), 1);
  layout->addLayout(run);
  layout->addStretch(1);
  return panel;
}

QWidget* MainWindow::buildStatusPanel() {
  auto* content = new QWidget;
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* list = new QListWidget;
  list->setObjectName("ListBox1");
  list->setSelectionMode(QAbstractItemView::NoSelection);
  list->setUniformItemSizes(true);
  m_binding->bind("ListBox1", list);
  layout->addWidget(list, 1);

  auto* status = qobject_cast<QLabel*>(label("Label6"));
  status->setFrameShape(QFrame::StyledPanel);
  status->setFrameShadow(QFrame::Sunken);
  status->setMinimumHeight(24);
  layout->addWidget(status);

  auto* progressRow = new QHBoxLayout;
  progressRow->addWidget(label("Label8"));
  auto* bar = new QProgressBar;
  bar->setObjectName("ccrpProgressBar1");
  bar->setFormat(QStringLiteral("%v / %m"));
  m_binding->bind("ccrpProgressBar1", bar);
  progressRow->addWidget(bar, 1);
  auto* busy = new QProgressBar;
  busy->setObjectName("ShockwaveFlash1");
  busy->setRange(0, 0);
  busy->setFixedWidth(80);
  busy->setTextVisible(false);
  m_binding->bind("ShockwaveFlash1", busy);
  progressRow->addWidget(busy);
  layout->addLayout(progressRow);

  auto* viewRow = new QHBoxLayout;
  auto* picker = new QComboBox;
  picker->setObjectName("Combo1");
  picker->setMinimumWidth(220);
  connect(picker, &QComboBox::activated, this, [this, picker](int index) {
    m_form.ui().Combo1.setText(picker->itemText(index).toStdString());
  });
  m_binding->bind("Combo1", picker);
  viewRow->addWidget(picker);
  viewRow->addWidget(button("View"));
  viewRow->addStretch(1);
  layout->addLayout(viewRow);
  return frame("frStatus", content);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!m_closing) {
    m_closing = true;
    m_form.mnuExit_Click();
  }
  event->accept();
}

}  // namespace orvane
