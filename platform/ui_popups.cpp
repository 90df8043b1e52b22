// Modal popups, the file dialog and the question before a file is replaced. Tests install a
// responder that answers them instead of a person and sees each popup's kind, title and text.
#include "platform/testing.h"
#include "platform/ui_internal.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include <cstring>
#include <initializer_list>

namespace {

PopupResponder &Responder() {
    static PopupResponder r;
    return r;
}

QString Q(const char *s) {
    return QString::fromUtf8(s ? s : "");
}

QWidget *ActiveParent() {
    return QApplication::activeWindow();
}

// A label as the operator reads it: without the "&" that marks its mnemonic.
std::string Plain(QString label) {
    label.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return label.toStdString();
}

// The texts on the standard buttons of a message box, in Qt's current language: what a
// responder sees is what the operator would.
std::vector<std::string> ButtonTexts(QMessageBox &box,
                                     std::initializer_list<QMessageBox::StandardButton> which) {
    std::vector<std::string> out;
    for (QMessageBox::StandardButton b : which)
        if (QAbstractButton *button = box.button(b)) out.push_back(Plain(button->text()));
    return out;
}

// A popup asks a person: while it is up the pointer is the normal one, even inside a wait
// that shows the busy cursor.
class NormalCursor {
  public:
    NormalCursor() : lifted_(QApplication::overrideCursor() != nullptr) {
        if (lifted_) QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~NormalCursor() {
        if (lifted_) QApplication::restoreOverrideCursor();
    }
    NormalCursor(const NormalCursor &) = delete;
    NormalCursor &operator=(const NormalCursor &) = delete;

  private:
    bool lifted_;
};

} // namespace

void SetPopupResponder(PopupResponder responder) {
    Responder() = std::move(responder);
}

const PopupResponder &CurrentPopupResponder() {
    return Responder();
}

int PopupsCanBeAnswered() {
    if (Responder()) return 1;
    if (!qApp) return 0;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal") ? 1 : 0;
}

int MessagePopup(const char *title, const char *message) {
    FlushAllDirty();
    QMessageBox box(QMessageBox::Information, Q(title), Q(message), QMessageBox::Ok,
                    ActiveParent());
    if (Responder()) {
        Responder()({"message",
                     Q(title).toStdString(),
                     Q(message).toStdString(),
                     ButtonTexts(box, {QMessageBox::Ok}),
                     {}},
                    nullptr);
        return 0;
    }
    NormalCursor pointer;
    box.exec();
    return 0;
}

int ConfirmPopup(const char *title, const char *message) {
    FlushAllDirty();
    QMessageBox box(QMessageBox::Question, Q(title), Q(message), QMessageBox::Yes | QMessageBox::No,
                    ActiveParent());
    box.setDefaultButton(QMessageBox::Yes);
    if (Responder())
        return Responder()({"confirm",
                            Q(title).toStdString(),
                            Q(message).toStdString(),
                            ButtonTexts(box, {QMessageBox::Yes, QMessageBox::No}),
                            {}},
                           nullptr)
                   ? 1
                   : 0;
    NormalCursor pointer;
    return box.exec() == QMessageBox::Yes ? 1 : 0;
}

int GenericMessagePopup(const char *title, const char *message, const char *button1,
                        const char *button2, const char *button3, int activeButton, int enterButton,
                        int escapeButton) {
    FlushAllDirty();
    std::vector<std::string> labels;
    for (const char *b : {button1, button2, button3})
        if (b && *b) labels.emplace_back(b);
    if (Responder()) {
        int r = Responder()(
            {"generic", Q(title).toStdString(), Q(message).toStdString(), labels, {}}, nullptr);
        return (r >= 1 && r <= int(labels.size())) ? r : escapeButton;
    }
    QMessageBox box(QMessageBox::Information, Q(title), Q(message), QMessageBox::NoButton,
                    ActiveParent());
    std::vector<QPushButton *> buttons;
    for (const std::string &l : labels)
        buttons.push_back(box.addButton(QString::fromStdString(l), QMessageBox::AcceptRole));
    auto pick = [&](int n) -> QPushButton * {
        return (n >= 1 && n <= int(buttons.size())) ? buttons[n - 1] : nullptr;
    };
    if (QPushButton *b = pick(enterButton)) box.setDefaultButton(b);
    if (QPushButton *b = pick(escapeButton)) box.setEscapeButton(b);
    if (QPushButton *b = pick(activeButton)) b->setFocus();
    NormalCursor pointer;
    box.exec();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i]) return int(i) + 1;
    return escapeButton; // closed through the window: taken as Escape
}

namespace {

// The question before a file is replaced, in the toolkit's language.
QString ReplaceQuestion(const QString &path) {
    return (ToolkitGerman()
                ? QStringLiteral("Die Datei existiert bereits:\n%1\n\nSoll sie ersetzt werden?")
                : QStringLiteral("This file already exists:\n%1\n\nDo you want to replace it?"))
        .arg(QDir::toNativeSeparators(path));
}

// True when the file may be written: nothing is there, or the operator said Yes. A folder of
// that name is not asked about; writing there fails and says so.
bool MayReplace(const QString &title, const QString &path, QWidget *parent) {
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) return true;
    FlushAllDirty();
    QMessageBox box(QMessageBox::Question, title, ReplaceQuestion(path),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    if (Responder())
        return Responder()({"confirm",
                            title.toStdString(),
                            box.text().toStdString(),
                            ButtonTexts(box, {QMessageBox::Yes, QMessageBox::No}),
                            {}},
                           nullptr) != 0;
    NormalCursor pointer;
    return box.exec() == QMessageBox::Yes;
}

// Qt's file dialog that, for a save, asks before it accepts a file that exists; No leaves the
// dialog open for another choice.
class FileDialog : public QFileDialog {
  public:
    FileDialog(QWidget *parent, const QString &title, const QString &start, const QString &filter,
               bool confirmReplace)
        : QFileDialog(parent, title, start, filter), confirmReplace_(confirmReplace) {}

    void accept() override {
        const QStringList files = selectedFiles();
        if (confirmReplace_ && !files.isEmpty() &&
            !MayReplace(windowTitle(), files.first(), this)) {
            activateWindow(); // the keys go to the dialog again, for another name or Escape
            return;
        }
        QFileDialog::accept();
    }

  private:
    bool confirmReplace_;
};

int ShowFileDialog(const char *defaultDirectory, const char *defaultFileName,
                   const char *fileTypeList, const char *title, int buttonLabel, int allowCancel,
                   bool confirmReplace, char *pathOut) {
    FlushAllDirty();
    if (!pathOut) return -1;
    QString dir = Q(defaultDirectory);
    QString start = QDir(dir.isEmpty() ? QDir::currentPath() : dir).filePath(Q(defaultFileName));
    QString chosen;
    QString filter = Q(fileTypeList).replace(';', ' ');
    FileDialog dlg(ActiveParent(), Q(title), start, filter + ";;*", confirmReplace);
    dlg.setAcceptMode(buttonLabel == VAL_LOAD_BUTTON ? QFileDialog::AcceptOpen
                                                     : QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    // The question before a file is replaced is the program's own, in its language.
    dlg.setOption(QFileDialog::DontConfirmOverwrite);
    // Qt's own dialog: it honours the OK label, and a desktop's native dialog would need the
    // GLib event loop the runtime does not use.
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    if (buttonLabel == VAL_OK_BUTTON) dlg.setLabelText(QFileDialog::Accept, "OK");
    if (Responder()) {
        PopupRecord record{
            "file",
            Q(title).toStdString(),
            Q(fileTypeList).toStdString(),
            {Plain(dlg.labelText(QFileDialog::Accept)), Plain(dlg.labelText(QFileDialog::Reject))},
            start.toStdString()};
        record.labels = {Plain(dlg.labelText(QFileDialog::LookIn)),
                         Plain(dlg.labelText(QFileDialog::FileName)),
                         Plain(dlg.labelText(QFileDialog::FileType))};
        // As with a person: after a No to the question the dialog is there again.
        for (;;) {
            std::string path;
            chosen.clear();
            if (Responder()(record, &path) > 0) chosen = QString::fromStdString(path);
            if (chosen.isEmpty() || !confirmReplace || MayReplace(Q(title), chosen, nullptr)) break;
        }
    } else {
        dlg.selectFile(start);
        NormalCursor pointer;
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
            chosen = dlg.selectedFiles().first();
        else if (!allowCancel)
            chosen = start;
    }
    if (chosen.isEmpty()) return VAL_NO_FILE_SELECTED;
    QByteArray b = QDir::toNativeSeparators(chosen).toLocal8Bit();
    if (b.size() >= MAX_PATHNAME_LEN) return -1; // a path the program cannot hold
    std::memcpy(pathOut, b.constData(), b.size() + 1);
    return QFileInfo(chosen).isFile() ? VAL_EXISTING_FILE_SELECTED : VAL_NEW_FILE_SELECTED;
}

} // namespace

int FileSelectPopup(const char *defaultDirectory, const char *defaultFileName,
                    const char *fileTypeList, const char *title, int buttonLabel,
                    int /*restrictDirectory*/, int /*restrictExtension*/, int allowCancel,
                    int /*allowMakeDirectory*/, char *pathOut) {
    return ShowFileDialog(defaultDirectory, defaultFileName, fileTypeList, title, buttonLabel,
                          allowCancel, buttonLabel == VAL_SAVE_BUTTON, pathOut);
}

int FileSavePopup(const char *defaultDirectory, const char *defaultFileName,
                  const char *fileTypeList, const char *title, int buttonLabel,
                  int /*restrictDirectory*/, int /*restrictExtension*/, int allowCancel,
                  int /*allowMakeDirectory*/, char *pathOut) {
    return ShowFileDialog(defaultDirectory, defaultFileName, fileTypeList, title, buttonLabel,
                          allowCancel, true, pathOut);
}

int ConfirmFileReplace(const char *title, const char *path) {
    return MayReplace(Q(title), QString::fromLocal8Bit(path ? path : ""), ActiveParent()) ? 1 : 0;
}
