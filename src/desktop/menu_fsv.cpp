#include "desktop/menu_fsv.h"

#include "desktop/progress_window.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <optional>

namespace orvane {

namespace {

// Layout constants, in points.
constexpr double kPadWidth = 50, kPadHeight = 12;
constexpr double kGap = 5;
constexpr double kBorder = 35;
constexpr double kTopGap = 50;
constexpr double kLeftGap = 15;
constexpr double kLeastTextWidth = 80;

bool useGUI()
{
#ifdef _WIN32
    const bool display = true;
#else
    const char* value = std::getenv("DISPLAY");
    const bool display = value && *value;
#endif
    // Widgets need a QApplication; without one only the console can ask.
    return display && qobject_cast<QApplication*>(QCoreApplication::instance());
}

// The extent of text drawn in font, in points.
QSizeF textExtent(const QFont& font, const std::string& text, double pixelsPerPoint)
{
    const QRectF r = QFontMetricsF(font).boundingRect(QRectF(), Qt::AlignCenter, QString::fromStdString(text));
    return r.size() / pixelsPerPoint;
}

// Runs a function when the watched window is asked to close; Escape closes it, as it
// closes any dialog.
class CloseWatch : public QObject {
public:
    explicit CloseWatch(std::function<void()> onClose) : onClose_(std::move(onClose)) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close) onClose_();
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            static_cast<QWidget*>(watched)->close();
            return true;
        }
        return false;
    }

private:
    std::function<void()> onClose_;
};

// The chosen number, or nullopt for anything that is not a whole number 1 … n.
std::optional<int> readChoice(std::string answer, int n)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!answer.empty() && blank(answer.back())) answer.pop_back();
    std::size_t start = 0;
    while (start < answer.size() && blank(answer[start])) ++start;
    answer.erase(0, start);
    if (answer.empty()) return std::nullopt;  // counts as −1
    if (answer[0] == '+') answer.erase(0, 1);
    double value = 0;
    const char* end = answer.data() + answer.size();
    const auto [stop, error] = std::from_chars(answer.data(), end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    // A fraction names no item: it is refused like any other number outside the list.
    if (!std::isfinite(value) || value < 1 || value > n || value != std::floor(value)) return std::nullopt;
    return int(value);
}

}  // namespace

MenuGeometry menuGeometry(double textWidth, double textHeight, double headerWidth, double headerHeight, int items,
                          double screenHeight)
{
    MenuGeometry g;
    const double buttonWidth = textWidth + kPadWidth;
    const double buttonHeight = textHeight + kPadHeight;
    const double openSpace = screenHeight - kTopGap - 2 * kBorder - headerHeight;
    g.rows = std::max(1, std::min(int(std::floor(openSpace / (buttonHeight + kGap))), items));
    g.columns = (items + g.rows - 1) / g.rows;

    const double height = g.rows * (buttonHeight + kGap) + headerHeight + 2 * kBorder;
    // Narrow buttons must not cut the header off; they sit centred under it then.
    const double block = g.columns * buttonWidth + (g.columns - 1) * kGap;
    const double width = std::max(block, std::max(kLeastTextWidth, headerWidth)) + 2 * kBorder;
    const double left = kBorder + (width - 2 * kBorder - block) / 2;
    g.window = {kLeftGap, screenHeight - (height + kTopGap), width, height};
    g.header = {kBorder, kBorder + g.rows * (buttonHeight + kGap), width - 2 * kBorder, headerHeight};
    for (int j = 1; j <= items; ++j) {
        const int column = (j + g.rows - 1) / g.rows;
        const int row = j - g.rows * (column - 1);  // 1 is the top row
        g.buttons.push_back({left + (column - 1) * (buttonWidth + kGap),
                             kBorder + (g.rows - row) * (buttonHeight + kGap), buttonWidth, buttonHeight});
    }
    return g;
}

int MenuFSV(const std::string& xHeader, const std::vector<std::string>& xcItems)
{
    if (xcItems.empty()) {
        std::cout << "MENU: No menu items to choose from.\n" << std::flush;
        return 0;
    }
    if (useGUI()) return local_GUImenu(xHeader, xcItems);
    return local_ASCIImenu(xHeader, xcItems, std::cin, std::cout);
}

int local_GUImenu(const std::string& xHeader, const std::vector<std::string>& xcItems)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double pixelsPerPoint = (screen ? screen->logicalDotsPerInchY() : 96.0) / 72.0;
    const int n = int(xcItems.size());

    QFont headerFont = QApplication::font();
    headerFont.setPointSizeF(12);
    QFont buttonFont = QApplication::font();
    buttonFont.setPointSizeF(10);

    double textWidth = 0, textHeight = 0;
    for (const std::string& item : xcItems) {
        const QSizeF extent = textExtent(buttonFont, item, pixelsPerPoint);
        textWidth = std::max(textWidth, extent.width());
        textHeight = std::max(textHeight, extent.height());
    }
    const QSizeF headerExtent = textExtent(headerFont, xHeader, pixelsPerPoint);
    const MenuGeometry g = menuGeometry(textWidth, textHeight, headerExtent.width(), headerExtent.height(), n,
                                        screenSize()[1] / pixelsPerPoint);

    // Points, y up from the window's lower edge, to Qt's pixels, y down from its top.
    const auto toPixels = [&](const std::array<double, 4>& r) {
        const auto px = [&](double v) { return int(std::lround(v * pixelsPerPoint)); };
        return QRect(px(r[0]), px(g.window[3] - r[1] - r[3]), px(r[2]), px(r[3]));
    };

    QWidget window;
    window.setObjectName(QStringLiteral("MenuFSV"));
    window.setWindowTitle(QStringLiteral("FSV PROCEDURE"));
    window.setWindowModality(Qt::ApplicationModal);
    const QSize size(int(std::lround(g.window[2] * pixelsPerPoint)), int(std::lround(g.window[3] * pixelsPerPoint)));
    window.setFixedSize(size);
    placeWindow(window, {g.window[0] * pixelsPerPoint, g.window[1] * pixelsPerPoint, double(size.width()),
                         double(size.height())});

    auto* header = new QLabel(QString::fromStdString(xHeader), &window);
    header->setObjectName(QStringLiteral("header"));
    header->setFont(headerFont);
    header->setAlignment(Qt::AlignCenter);
    header->setGeometry(toPixels(g.header));

    std::optional<int> answer;
    QEventLoop loop;
    for (int j = 1; j <= n; ++j) {
        auto* button = new QPushButton(QString::fromStdString(xcItems[j - 1]), &window);
        button->setObjectName(QStringLiteral("item%1").arg(j));
        button->setFont(buttonFont);
        button->setGeometry(toPixels(g.buttons[j - 1]));
        QObject::connect(button, &QPushButton::clicked, &loop, [&answer, &loop, j] {
            answer = j;
            loop.quit();
        });
    }
    CloseWatch closeWatch([&answer, &loop] {
        if (!answer) answer = 0;
        loop.quit();
    });
    window.installEventFilter(&closeWatch);

    window.show();
    // Nested wait: the event loop keeps serving this window (and redraws others) meanwhile.
    // Leaving the loop for any other reason, such as the program quitting, counts as closed.
    loop.exec();
    window.removeEventFilter(&closeWatch);
    return answer.value_or(0);
}

int local_ASCIImenu(const std::string& xHeader, const std::vector<std::string>& xcItems, std::istream& in,
                    std::ostream& out)
{
    const int n = int(xcItems.size());
    for (;;) {
        out << "\n---------- " << xHeader << " ----------\n\n";
        for (int j = 1; j <= n; ++j) out << "      " << j << ") " << xcItems[j - 1] << "\n";
        out << "\nSelect a menu number: " << std::flush;
        std::string answer;
        if (!std::getline(in, answer)) {
            // End of input: nobody is left to answer, so it counts as a closed menu.
            out << "\n" << std::flush;
            return 0;
        }
        if (const std::optional<int> k = readChoice(answer, n)) return *k;
        out << "\nSelection out of range. Try again.\n";
    }
}

}  // namespace orvane
