// Another program on the desktop for the readers' end-to-end test: puts a
// text on the clipboard and/or shows a window with a title, then stays
// until it is ended (the clipboard's text lives as long as its owner).
//   reader_helper [--clipboard TEXT] [--window TITLE]
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QTextStream>

#include <memory>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    std::unique_ptr<QLabel> window;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--clipboard")) {
            QGuiApplication::clipboard()->setText(args[i + 1]);
        } else if (args[i] == QLatin1String("--window")) {
            window = std::make_unique<QLabel>(args[i + 1]);
            window->setWindowTitle(args[i + 1]);
            window->resize(400, 120);
            window->show();
        } else {
            QTextStream(stderr) << "Unbekannte Option: " << args[i] << '\n';
            return 2;
        }
    }
    QTextStream(stdout) << "bereit" << Qt::endl;
    return app.exec();
}
