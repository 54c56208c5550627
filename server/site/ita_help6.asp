<!DOCTYPE html>
<html lang="it">
<head>
<meta charset="utf-8">
<title>Guida di Skyglance - Timer di Visualizzazione</title>
<link rel="stylesheet" href="{{site}}/site/style.css">
</head>
<body>
<div class="banner">Guida di Skyglance</div>
<h1>Timer di Visualizzazione</h1>
<p>Il timer di download (minuti, almeno 15) decide ogni quanto le immagini vengono riscaricate; il timer delle immagini (secondi, almeno 1) quanto resta ogni immagine.</p>
<p class="made">Page made {{made}} by the Skyglance sample site.</p>
</body>
</html>
