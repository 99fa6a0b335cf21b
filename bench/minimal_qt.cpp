// What mdiresize's start-up is measured against: the least Qt program that opens the same kind
// of window, a main window whose client area is an MDI area with four empty sub-windows. It
// quits once the window is up and every event that start-up set going has been handled.
//
// With --content it builds, straight in Qt, the window that mdiresize's first layout leaves on
// a 96 dpi screen: the same menu, captions, lists, text box, label and button, at the same
// pixels. That tells how much of mdiresize's start-up is Qt's own work for what it shows.

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace {

QMdiSubWindow* add_child(QMdiArea& area, const char* title, QWidget* client, bool framed) {
  QMdiSubWindow* child = area.addSubWindow(client);
  child->setWindowFlags(framed ? Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                     Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                               : Qt::FramelessWindowHint);
  child->setWindowTitle(QString::fromLatin1(title));
  child->setOption(QMdiSubWindow::AllowOutsideAreaHorizontally);
  child->setOption(QMdiSubWindow::AllowOutsideAreaVertically);
  return child;
}

QListWidget* list(QWidget& parent, int index) {
  auto* list = new QListWidget(&parent);
  list->setUniformItemSizes(true);
  list->setTextElideMode(Qt::ElideNone);
  list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  if (index == 2) list->addItem(QString(25, QLatin1Char('a')));
  const QString alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
  for (int i = 1; i <= 26; ++i) list->addItem(alphabet.right(i));
  list->setGeometry(69 * index, 0, 69, 233);
  return list;
}

void build_content(QMainWindow& window, QMdiArea& area) {
  QFont font = window.font();
  font.setPointSizeF(8);
  window.setFont(font);
  window.setWindowTitle(QStringLiteral("ResizeL"));
  area.setBackground(area.palette().brush(QPalette::Dark));
  QMenu* solve = window.menuBar()->addMenu(QStringLiteral("Solve Problem"));
  solve->addAction(QStringLiteral("Oplossing"))->setCheckable(true);
  solve->addAction(QStringLiteral("Wiskundig juist"))->setCheckable(true);
  window.menuBar()->addAction(QStringLiteral("Vul tekstbox"));

  auto* left = new QWidget;
  for (int i = 0; i < 3; ++i) list(*left, i);
  add_child(area, "Resize Left", left, true)->setGeometry(0, 0, 216, 259);
  add_child(area, "Resize right", new QWidget, true)->setGeometry(216, 0, 216, 259);

  auto* bottom = new QWidget;
  auto* text = new QPlainTextEdit(bottom);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text->setPlainText(QStringLiteral(
      "Hier kan naar hartelust tekst worden ingevuld om het gedrag van de textbox te "
      "manipuleren.\n"));
  text->setGeometry(0, 0, 432, 65);
  add_child(area, "Textbox resizing", bottom, false)->setGeometry(0, 259, 432, 65);

  auto* top = new QWidget;
  auto* label = new QLabel(top);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setGeometry(8, 8, 297, 57);
  auto* button = new QPushButton(QStringLiteral("Resize"), top);
  button->setAutoDefault(false);
  button->setGeometry(312, 8, 65, 25);
  add_child(area, "Form1", top, true)->setGeometry(0, 67, 400, 80);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // The style mdiresize draws in, unless told otherwise: it is part of what start-up loads.
  QApplication::setStyle(QStringLiteral("windows"));
  const bool content = QCoreApplication::arguments().contains(QStringLiteral("--content"));
  QMainWindow window;
  auto* area = new QMdiArea;
  area->setFrameShape(QFrame::NoFrame);
  window.setCentralWidget(area);
  if (content) {
    build_content(window, *area);
  } else {
    for (int i = 0; i < 4; ++i) area->addSubWindow(new QWidget)->resize(200, 150);
  }
  window.resize(432, content ? 324 + window.menuBar()->sizeHint().height() : 324);
  window.show();
  // As mdiresize does before the first line of its script: what start-up set going is handled.
  QTimer::singleShot(0, [] {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCoreApplication::quit();
  });
  return QApplication::exec();
}
