<!DOCTYPE html>
<html lang="es">
<head>
<meta charset="utf-8">
<title>Ayuda de Skyglance - Iniciar - Salir</title>
<link rel="stylesheet" href="{{site}}/site/style.css">
</head>
<body>
<div class="banner">Ayuda de Skyglance</div>
<h1>Iniciar - Salir</h1>
<p>Inicie la presentación con el icono de inicio; arranca sola en cada inicio cuando hay imágenes marcadas. Salga con el icono de salida: la configuración se guarda antes. Marque las imágenes que desea ver; el temporizador de descarga (minutos, al menos 15) y el de imágenes (segundos, al menos 1) fijan los tiempos.</p>
<p class="made">Page made {{made}} by the Skyglance sample site.</p>
</body>
</html>
