// The widget tests run inside one application on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

namespace {

// A test that fails on a path leaving a modal window open would wait there for a click that never
// comes, until ctest gives up on the whole program. A window left modal this long is closed and
// the test fails, naming it; the test then goes on to its end.
class LeftModalWatch : public ::testing::EmptyTestEventListener {
public:
    static constexpr int kLimitMs = 8000;

    LeftModalWatch() {
        timer_.setInterval(100);
        QObject::connect(&timer_, &QTimer::timeout, [this] { look(); });
    }
    void OnTestStart(const ::testing::TestInfo&) override {
        seen_ = nullptr;
        timer_.start();
    }
    void OnTestEnd(const ::testing::TestInfo&) override { timer_.stop(); }

private:
    void look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != seen_) {
            seen_ = modal;
            since_.start();
            return;
        }
        if (modal == nullptr || since_.elapsed() < kLimitMs) {
            return;
        }
        ADD_FAILURE() << "A modal window was left open (" << modal->metaObject()->className() << " \""
                      << modal->windowTitle().toStdString() << "\"); closed after " << kLimitMs / 1000 << " s.";
        since_.start();
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            // Not reject(): a window may refuse to close there while it works.
            dialog->done(QDialog::Rejected);
        } else {
            modal->close();
        }
    }

    QTimer timer_;
    QPointer<QWidget> seen_;
    QElapsedTimer since_;
};

}  // namespace

int main(int argc, char** argv) {
    // The smallest screen the windows are made for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" KAPRED_SMALL_SCREEN);
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new LeftModalWatch);
    return RUN_ALL_TESTS();
}
