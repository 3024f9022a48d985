#pragma once

#include <QWidget>

struct AppContext;
class DocumentHost;
class ProjectList;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

// The project window: the files of the program's project list, and the
// commands that change, save and open it. There is at most one; closing it
// discards its fields, the project list stays.
class frmProject : public QWidget
{
    Q_OBJECT

public:
    frmProject(AppContext &ctx, DocumentHost &docs, ProjectList &list);

    QLineEdit *txtProjectName = nullptr;
    QComboBox *cboPrjMode = nullptr;
    QGroupBox *fraUrlInfo = nullptr;
    QCheckBox *chkUploadonSave = nullptr;
    QLineEdit *txtUrl = nullptr;
    QTreeWidget *prjList = nullptr;
    QPlainTextEdit *txtStatus = nullptr;
    QPushButton *cmdAction[6] = {};

    void AddFileToProject(const QString &path);
    void RemoveFileFromProject(int position);
    void ReadProjectFile(const QString &path);
    void WriteProjectFile(const QString &path);
    void RefreshProjectList();
    void SetProjectStatus(const QString &text, bool beep);
    void LoadSaveProject();
    void LoadOpenProject();

private:
    void action(const QString &name);

    AppContext &m_ctx;
    DocumentHost &m_docs;
    ProjectList &m_list;
};
