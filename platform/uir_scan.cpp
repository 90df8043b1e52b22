// Walks the resource file's widget tree. A widget carrying a "panelNumber" property is a panel;
// a widget named "<PANEL>_<NAME>" inside it is one of its controls (helper widgets without that
// prefix are layout only).
#include "platform/uir_scan.h"

#include <QFile>
#include <QXmlStreamReader>

namespace {

struct Open {
    std::string name;
    int panelIndex; // index into the result of the panel this widget belongs to, -1 for none
};

} // namespace

bool ScanUir(const std::string &path, std::vector<UirPanel> *panels, std::string *error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = "cannot open " + path;
        return false;
    }
    panels->clear();
    QXmlStreamReader xml(&file);
    std::vector<Open> stack; // one entry per open <widget>
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("widget")) {
            std::string name =
                xml.attributes().value(QLatin1String("name")).toString().toStdString();
            int owner = stack.empty() ? -1 : stack.back().panelIndex;
            // Whether this widget is a panel is only known from its properties, which follow;
            // record it as a control of the owner for now and fix up on "panelNumber".
            stack.push_back({name, owner});
            if (owner >= 0) {
                const std::string &prefix = (*panels)[owner].name;
                if (name.size() > prefix.size() + 1 &&
                    name.compare(0, prefix.size(), prefix) == 0 && name[prefix.size()] == '_')
                    (*panels)[owner].controls.push_back(name);
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("widget")) {
            if (!stack.empty()) stack.pop_back();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("property") &&
                   xml.attributes().value(QLatin1String("name")) == QLatin1String("panelNumber") &&
                   !stack.empty()) {
            xml.readNextStartElement(); // <number>
            int number = xml.readElementText().toInt();
            Open &top = stack.back();
            const std::string &pendingName = top.name;
            int owner = top.panelIndex;
            if (owner >= 0) { // it was taken for a control of the enclosing panel: undo that
                auto &ctrls = (*panels)[owner].controls;
                if (!ctrls.empty() && ctrls.back() == pendingName) ctrls.pop_back();
            }
            UirPanel p;
            p.name = pendingName;
            p.number = number;
            p.parent = owner >= 0 ? (*panels)[owner].name : std::string();
            panels->push_back(p);
            top.panelIndex = static_cast<int>(panels->size()) - 1;
        }
    }
    if (xml.hasError()) {
        *error = path + ": " + xml.errorString().toStdString();
        return false;
    }
    if (panels->empty()) {
        *error = path + ": no panels";
        return false;
    }
    return true;
}
