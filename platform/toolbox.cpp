// Toolbox: the drop-down list laid onto a string control, the panel screenshot and whole-file
// writes that replace a file in one step.
#include "platform/toolbox.h"
#include "platform/ui_internal.h"

#include "inifile/inifile.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPixmap>
#include <QSaveFile>

#include <cstring>

void TagLikeControl(QWidget *w, QWidget *like); // ui_events.cpp

namespace {

QComboBox *ComboOf(int panel, int control) {
    CtrlRec *c = FindCtrl(panel, control);
    return c ? c->combo.data() : nullptr;
}

} // namespace

int Combo_NewComboBox(int panel, int stringControl) {
    CtrlRec *c = FindCtrl(panel, stringControl);
    if (!c || c->style != CTRL_STRING || c->combo) return kErrCtrl;
    auto *le = static_cast<QLineEdit *>(c->widget.data());
    QWidget *parent = le->parentWidget();
    QRect g = le->geometry();
    bool visible = le->isVisibleTo(parent);
    bool enabled = le->isEnabled();
    auto *combo = new QComboBox(parent);
    combo->setObjectName(le->objectName() + "_combo");
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setLineEdit(le); // the string control lives on inside the combo box
    combo->setGeometry(g);
    combo->setToolTip(le->toolTip());
    combo->setVisible(visible);
    combo->setEnabled(enabled);
    le->show();
    c->combo = combo;
    TagLikeControl(combo, le);
    // Choosing an entry puts its text into the control and commits it.
    QObject::connect(combo, &QComboBox::activated, combo, [panel, stringControl](int index) {
        CtrlRec *r = FindCtrl(panel, stringControl);
        if (!r || !r->combo) return;
        r->text = r->combo->itemText(index);
        PostCtrlEvent(panel, stringControl, EVENT_VAL_CHANGED);
        PostCtrlEvent(panel, stringControl, EVENT_COMMIT);
    });
    return 0;
}

int Combo_DiscardComboBox(int panel, int stringControl) {
    CtrlRec *c = FindCtrl(panel, stringControl);
    if (!c || !c->combo) return kErrCtrl;
    QComboBox *combo = c->combo;
    auto *le = static_cast<QLineEdit *>(c->widget.data());
    if (le) {
        QString text = le->text();
        le->setParent(combo->parentWidget());
        le->setGeometry(combo->geometry());
        le->setText(text);
        le->setVisible(combo->isVisibleTo(combo->parentWidget()));
    }
    c->combo = nullptr;
    delete combo;
    return 0;
}

int Combo_InsertComboItem(int panel, int stringControl, int index, const char *text) {
    QComboBox *combo = ComboOf(panel, stringControl);
    if (!combo) return kErrCtrl;
    CtrlRec *c = FindCtrl(panel, stringControl);
    QString keep = c->text; // inserting must not change the control's text
    if (index < 0 || index > combo->count()) index = combo->count();
    combo->insertItem(index, QString::fromUtf8(text ? text : ""));
    combo->setEditText(keep);
    return 0;
}

int Combo_DeleteComboItem(int panel, int stringControl, int index, int count) {
    QComboBox *combo = ComboOf(panel, stringControl);
    if (!combo) return kErrCtrl;
    if (index < 0 || index >= combo->count()) return kErrAttr;
    CtrlRec *c = FindCtrl(panel, stringControl);
    QString keep = c->text;
    int n = count < 0 ? combo->count() - index : std::min(count, combo->count() - index);
    for (int i = 0; i < n; ++i)
        combo->removeItem(index);
    combo->setEditText(keep);
    return 0;
}

int Combo_GetIndexFromValue(int panel, int stringControl, int *index, const char *text) {
    QComboBox *combo = ComboOf(panel, stringControl);
    if (!combo) return kErrCtrl;
    *index = combo->findText(QString::fromUtf8(text ? text : ""), Qt::MatchExactly);
    return 0;
}

int Combo_GetComboText(int panel, int stringControl, int index, char *buffer, int size) {
    QComboBox *combo = ComboOf(panel, stringControl);
    if (!combo) return kErrCtrl;
    if (index < 0 || index >= combo->count() || !buffer || size <= 0) return kErrAttr;
    QByteArray b = combo->itemText(index).toUtf8();
    int n = std::min<int>(b.size(), size - 1);
    std::memcpy(buffer, b.constData(), n);
    buffer[n] = 0;
    return 0;
}

int Combo_SetComboAttribute(int panel, int stringControl, int attribute, int value) {
    QComboBox *combo = ComboOf(panel, stringControl);
    if (!combo) return kErrCtrl;
    switch (attribute) {
    case ATTR_COMBO_VISIBLE:
        return SetCtrlAttribute(panel, stringControl, ATTR_VISIBLE, value);
    case ATTR_COMBO_LIST_BGCOLOR: {
        QPalette pal = combo->view()->palette();
        pal.setColor(QPalette::Base, QColor::fromRgb(QRgb(value & 0xFFFFFF)));
        combo->view()->setPalette(pal);
        return 0;
    }
    default:
        return kErrAttr;
    }
}

int Combo_GetComboAttribute(int panel, int stringControl, int attribute, int *value) {
    QComboBox *combo = ComboOf(panel, stringControl);
    if (!combo) return kErrCtrl;
    switch (attribute) {
    case ATTR_COMBO_NUM_ITEMS:
        *value = combo->count();
        return 0;
    case ATTR_COMBO_VISIBLE:
        *value = combo->isVisibleTo(combo->parentWidget()) ? 1 : 0;
        return 0;
    default:
        return kErrAttr;
    }
}

// The file codes of a failed whole-file write: a full disk, a file that could not be made
// (its folder tells why), or another write error.
int WriteFailureCode(const QSaveFile &file, bool opened) {
    if (file.error() == QFileDevice::ResourceError) return INI_ERR_DISK_FULL;
    return opened ? INI_ERR_WRITE : INI_ERR_CREATE_TEMP;
}

// Puts the written file in place, or drops it and returns the failure's code. The buffered
// bytes are pushed out first and that is checked: the commit itself does not look at a failed
// flush (a full disk), and would put an empty or cut file in place of the old one.
int CommitWhole(QSaveFile &file) {
    if (!file.flush()) {
        const int code = WriteFailureCode(file, true);
        file.cancelWriting();
        return code;
    }
    return file.commit() ? 0 : WriteFailureCode(file, true);
}

int SavePanelDisplayToPngFile(int panel, const char *path) {
    PanelRec *p = FindPanel(panel);
    if (!p || !p->widget || !path) return INI_ERR_NULL_ARGUMENT;
    FlushAllDirty();
    QPixmap pm = p->widget->grab();
    QSaveFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::WriteOnly)) return WriteFailureCode(file, false);
    if (!pm.save(&file, "PNG")) {
        const int code = WriteFailureCode(file, true);
        file.cancelWriting();
        return code;
    }
    return CommitWhole(file);
}

int WriteFileSafely(const char *path, const char *data, long size) {
    if (!path || (!data && size > 0) || size < 0) return INI_ERR_NULL_ARGUMENT;
    QSaveFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::WriteOnly)) return WriteFailureCode(file, false);
    if (file.write(data, size) != size) {
        const int code = WriteFailureCode(file, true);
        file.cancelWriting();
        return code;
    }
    return CommitWhole(file);
}

int SavePanelDisplayToFile(int panel, const char *path) {
    PanelRec *p = FindPanel(panel);
    if (!p || !p->widget || !path) return kErrPanel;
    FlushAllDirty();
    // grab() renders the widget itself, so it works off screen as well.
    QPixmap pm = p->widget->grab();
    return pm.save(QString::fromLocal8Bit(path), "BMP") ? 0 : -12;
}
