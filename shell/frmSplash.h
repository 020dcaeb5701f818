// The splash window shown for the first five seconds: logo, product name, address, version.
#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;

namespace pixdock {

class frmSplash : public QWidget
{
    Q_OBJECT
public:
    frmSplash();

    // Runs Form_Load (fills the product name and version labels).
    void load();
    // Closes and destroys the window; nothing else closes it.
    void unload();

    // The address the splash shows under its logo.
    static QString productAddress();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    QLabel *addLabel(const char *name, int left, int top, int width, int height, double points,
                     Qt::Alignment alignment);

    QGroupBox *fraMainFrame;
    QLabel *picLogo;
    QLabel *lblCompanyProduct;
    QLabel *lblProductName;
    QLabel *lblPlatform;
    QLabel *lblVersion;
    bool m_unloading = false;
};

} // namespace pixdock
