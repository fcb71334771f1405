#pragma once
// The modal print dialog: a page-by-page preview and the choice of what to
// print. It draws nothing itself: when its page changes it posts a preview
// request (event type 1111) to the main window, which draws the page into
// the dialog's preview image; after the dialog the main window reads the
// choice and prints.
#include <QDialog>
#include <QImage>
#include <QPointer>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;

// The preview image: shows its picture at (0, 0) and sizes itself to it.
class TPreviewImage : public QWidget {
    Q_OBJECT
public:
    explicit TPreviewImage(QWidget* parent = nullptr);
    // The picture bitmap to draw a page into; call PictureChanged afterwards.
    QImage& Picture() { return FPicture; }
    void PictureChanged();
    QSize sizeHint() const override { return FPicture.size(); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage FPicture;
};

class TfrmPrint : public QDialog {
    Q_OBJECT
public:
    // The event type of the preview request.
    static constexpr int PreviewRequest = 1111;

    // receiver gets the preview requests; null sends them to parent.
    explicit TfrmPrint(QWidget* parent = nullptr, QObject* receiver = nullptr);
    ~TfrmPrint() override;

    void SetPreviewReceiver(QObject* receiver) { FReceiver = receiver; }

    // Set by the main window before each showing.
    int PageCount = 0;
    int CurrentPage = 1;

    // "Podgląd wydruku: 2 strona z 7 stron".
    static QString CaptionFor(int currentPage, int pageCount);
    void UpdateCaption();

    // The range's two ends (the positions of the spin buttons).
    int RangeFrom() const;
    int RangeTo() const;

    QScrollArea* sbPolePodgladuWydruku = nullptr;
    TPreviewImage* iStronaWydruku = nullptr;
    QWidget* Panel1 = nullptr;
    QPushButton* bPoprzednia = nullptr;
    QPushButton* bNastepna = nullptr;
    QGroupBox* gbZakres = nullptr;
    QRadioButton* rbWszystkie = nullptr;
    QRadioButton* rbBiezaca = nullptr;
    QRadioButton* rbZZakresu = nullptr;
    // Each spin box is both the edit and its up-down buttons.
    QSpinBox* udOd = nullptr;
    QLabel* lDo = nullptr;
    QSpinBox* udDo = nullptr;
    QWidget* Panel2 = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void bPoprzedniaClick();
    void bNastepnaClick();
    void EnableRange(bool on);
    void eOdChange();
    void eDoChange();
    void PostPreviewRequest();

    QPointer<QObject> FReceiver;
};
