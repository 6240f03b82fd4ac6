#include "shell/FRMInicio.h"

#include "pictures/GRAFICOS.h"
#include "platform/Estilo.h"

#include <QPainter>

QStringList LineasContacto() {
  return {QStringLiteral("KORVAL: programa y textos del taller KORVAL"),
          QStringLiteral("Correo: korval@tallerkorval.example"),
          QStringLiteral("Licencia MIT: puede usarlo, copiarlo y compartirlo")};
}

FRMInicio::FRMInicio(QWidget* parent) : Formulario(parent) {
  setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
  setModal(false);
  TamanoTwips(7320, 3525);

  Text1 = new QPlainTextEdit(this);
  Text1->setReadOnly(true);
  Text1->setFrameStyle(QFrame::NoFrame);
  Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Text1->setPlainText(LineasContacto().join(QLatin1Char('\n')));
  Text1->setStyleSheet(
      QStringLiteral("background: rgb(0, 40, 40); color: rgb(246, 222, 150); padding-left: 8px;"));
  Colocar(Text1, 0, 2820, 7335, 705);

  SSPanel1 = new SSPanel(this);
  SSPanel1->setColores(QColor(0, 40, 40), Estilo::OroClaro);
  Colocar(SSPanel1, 0, 2490, 7335, 345);
  Porcentaje = new SSPanel(SSPanel1, QStringLiteral("0% "));
  Porcentaje->setColores(Estilo::Jade, QColor(10, 30, 20));
  Porcentaje->setNegrita(true);
  setAnchoPorcentaje(345);
  Form_Load();
}

void FRMInicio::setAnchoPorcentaje(int twips) {
  anchoTwips_ = twips;
  Colocar(Porcentaje, 60, 60, anchoTwips_, 210);
}

void FRMInicio::Form_Load() {
  centrarform();
  repaint();
}

void FRMInicio::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  const QPixmap& fondo = GRAFICOS::Instancia().FondoInicio;
  p.drawPixmap(rect(), fondo);
  Formulario::paintEvent(e);
}
