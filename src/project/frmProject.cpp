#include "project/frmProject.h"

#include "core/ProjectList.h"
#include "platform/Dialogs.h"
#include "ui/AppContext.h"
#include "ui/DocumentHost.h"
#include "ui/NamedButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace {

struct ActionButton {
    const char *caption;
    const char *action;
    bool enabled;
};

constexpr ActionButton kActions[6] = {
    {"&Add File", "AddFile", true},  {"&Drop File", "DropFile", true}, {"Do&wnload", "DeleteFile", false},
    {"&Save", "SaveFile", true},     {"&Close", "ExtractFile", false}, {"&Open", "OpenFile", true},
};

QString dayText(const QDateTime &time)
{
    return time.isValid() ? QLocale().toString(time.date(), QStringLiteral("dd MMM yyyy")) : QString();
}

} // namespace

frmProject::frmProject(AppContext &ctx, DocumentHost &docs, ProjectList &list)
    : m_ctx(ctx), m_docs(docs), m_list(list)
{
    setObjectName(QStringLiteral("frmProject"));
    setWindowTitle(QStringLiteral("Project List"));
    setAttribute(Qt::WA_DeleteOnClose);
    txtProjectName = new QLineEdit(this);
    txtProjectName->setObjectName(QStringLiteral("txtProjectName"));
    txtProjectName->setReadOnly(true);
    cboPrjMode = new QComboBox(this);
    cboPrjMode->setObjectName(QStringLiteral("cboPrjMode"));
    fraUrlInfo = new QGroupBox(QStringLiteral("Network Settings"), this);
    fraUrlInfo->setObjectName(QStringLiteral("fraUrlInfo"));
    chkUploadonSave = new QCheckBox(QStringLiteral("Upload On Save"), fraUrlInfo);
    chkUploadonSave->setObjectName(QStringLiteral("chkUploadonSave"));
    txtUrl = new QLineEdit(fraUrlInfo);
    txtUrl->setObjectName(QStringLiteral("txtUrl"));
    auto *net = new QGridLayout(fraUrlInfo);
    net->addWidget(chkUploadonSave, 0, 0, 1, 2);
    net->addWidget(new QLabel(QStringLiteral("Url:"), fraUrlInfo), 1, 0);
    net->addWidget(txtUrl, 1, 1);
    prjList = new QTreeWidget(this);
    prjList->setObjectName(QStringLiteral("prjList"));
    prjList->setRootIsDecorated(false);
    prjList->setUniformRowHeights(true);
    prjList->setHeaderLabels({QStringLiteral("FileTitle"), QStringLiteral("FilePath"), QStringLiteral("Date Created"),
                              QStringLiteral("Date Modified")});
    prjList->header()->setStretchLastSection(false);
    for (int c = 0; c < 4; ++c)
        prjList->header()->resizeSection(c, 170); // four equal columns
    txtStatus = new QPlainTextEdit(this);
    txtStatus->setObjectName(QStringLiteral("txtStatus"));
    txtStatus->setReadOnly(true);
    txtStatus->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Project Name"), this), 0, 0);
    grid->addWidget(txtProjectName, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Mode:"), this), 1, 0);
    grid->addWidget(cboPrjMode, 1, 1);
    grid->addWidget(fraUrlInfo, 1, 2, 2, 1);
    grid->addWidget(prjList, 3, 0, 1, 3);
    grid->addWidget(txtStatus, 4, 0, 1, 3);
    for (int i = 0; i < 6; ++i) {
        cmdAction[i] = namedButton(this, "cmdAction", QString::fromLatin1(kActions[i].caption));
        cmdAction[i]->setProperty("Index", i);
        cmdAction[i]->setEnabled(kActions[i].enabled);
        const QString name = QLatin1String(kActions[i].action);
        connect(cmdAction[i], &QPushButton::clicked, this, [this, name] { action(name); });
    }
    // Two rows of equal buttons: Add File, Drop File, Download above; Save, Open, Close below.
    auto *buttons = new QGridLayout;
    for (int i : {0, 1, 2})
        buttons->addWidget(cmdAction[i], 0, i);
    buttons->addWidget(cmdAction[3], 1, 0);
    buttons->addWidget(cmdAction[5], 1, 1);
    buttons->addWidget(cmdAction[4], 1, 2);
    for (int c = 0; c < 3; ++c)
        buttons->setColumnStretch(c, 1);
    grid->addLayout(buttons, 5, 0, 1, 3);
    resize(720, 520);

    connect(cboPrjMode, &QComboBox::currentTextChanged, this,
            [this](const QString &mode) { fraUrlInfo->setEnabled(mode != QLatin1String("Drive")); });
    cboPrjMode->addItems({QStringLiteral("Drive"), QStringLiteral("Local"), QStringLiteral("Network")});
    connect(prjList, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *row) {
        QString dir = row->text(1);
        if (!dir.endsWith(QLatin1Char('/')))
            dir += QLatin1Char('/');
        m_docs.OpenFileByPath(dir + row->text(0));
    });
}

void frmProject::action(const QString &name)
{
    const QString a = name.toUpper();
    if (a == QLatin1String("ADDFILE")) {
        const QString chosen = m_ctx.dialogs.openFileName(QStringLiteral("All Files (*)"), QString());
        if (!chosen.isEmpty())
            AddFileToProject(chosen);
    } else if (a == QLatin1String("OPENFILE")) {
        LoadOpenProject();
    } else if (a == QLatin1String("SAVEFILE")) {
        LoadSaveProject();
    } else if (a == QLatin1String("DROPFILE")) {
        QTreeWidgetItem *row = prjList->currentItem();
        if (row && row->isSelected() && !row->text(0).isEmpty())
            RemoveFileFromProject(prjList->indexOfTopLevelItem(row) + 1);
    }
    // DELETEFILE and EXTRACTFILE do nothing.
}

void frmProject::AddFileToProject(const QString &path)
{
    if (!ProjectList::canBeStored(path)) {
        SetProjectStatus(QStringLiteral("A project file keeps one name per line, so a name with a line break cannot be "
                                        "added: %1 was not added.").arg(path),
                         true);
        return;
    }
    if (m_list.count() >= ProjectList::kMaxEntries && ProjectList::exists(path)) {
        SetProjectStatus(QStringLiteral("The project holds %1 files, the most it can hold: %2 was not added.")
                             .arg(ProjectList::kMaxEntries)
                             .arg(path),
                         true);
        return;
    }
    if (m_list.AddFileToProject(path))
        RefreshProjectList();
}

void frmProject::RemoveFileFromProject(int position)
{
    m_list.RemoveFileFromProject(position);
    RefreshProjectList();
}

void frmProject::ReadProjectFile(const QString &path)
{
    QString error;
    const QString report = m_list.ReadProjectFile(path, &error);
    if (!error.isEmpty()) {
        SetProjectStatus(QStringLiteral("There was an error in reading your project: \r\n") + error, true);
        return;
    }
    txtProjectName->setText(path);
    SetProjectStatus(report, false);
    // Rebuilt once, after the whole project has been read.
    RefreshProjectList();
}

void frmProject::WriteProjectFile(const QString &path)
{
    const QString error = m_list.WriteProjectFile(path);
    if (!error.isEmpty()) {
        SetProjectStatus(QStringLiteral("There was an error in saving your project: \r\n") + error, true);
        return;
    }
    txtProjectName->setText(path);
    SetProjectStatus(ProjectList::kSaved, false);
}

void frmProject::RefreshProjectList()
{
    prjList->setUpdatesEnabled(false);
    prjList->clear();
    QList<QTreeWidgetItem *> rows;
    for (int p = 1; p <= m_list.count(); ++p) {
        const cFiles &e = m_list.entry(p);
        if (!e.IsActive())
            continue;
        // A file that has gone shows empty dates.
        const QFileInfo info(e.FileName());
        const QDateTime created = info.birthTime().isValid() ? info.birthTime() : info.metadataChangeTime();
        rows << new QTreeWidgetItem({e.FileTitle(), e.FileDirectory(), dayText(created), dayText(info.lastModified())});
    }
    prjList->addTopLevelItems(rows);
    prjList->setUpdatesEnabled(true);
}

void frmProject::SetProjectStatus(const QString &text, bool beep)
{
    txtStatus->setPlainText(text);
    if (beep)
        m_ctx.dialogs.beep();
}

void frmProject::LoadSaveProject()
{
    const QString name = m_ctx.dialogs.saveFileName(QStringLiteral("Text-Editor Project (*.[Tt][Ee][Pp])"), QString());
    if (!name.isEmpty())
        WriteProjectFile(name);
}

void frmProject::LoadOpenProject()
{
    const QString name = m_ctx.dialogs.openFileName(QStringLiteral("Text-Editor Project (*[Tt][Ee][Pp])"), QString());
    if (!name.isEmpty())
        ReadProjectFile(name);
}
