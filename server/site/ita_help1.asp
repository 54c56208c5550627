<!DOCTYPE html>
<html lang="it">
<head>
<meta charset="utf-8">
<title>Guida di Skyglance - Avvio - Uscita</title>
<link rel="stylesheet" href="{{site}}/site/style.css">
</head>
<body>
<div class="banner">Guida di Skyglance</div>
<h1>Avvio - Uscita</h1>
<p>Avvia la presentazione con l'icona di avvio; a ogni avvio parte da sola quando ci sono immagini selezionate. Esci con l'icona di uscita: le impostazioni vengono salvate prima.</p>
<p class="made">Page made {{made}} by the Skyglance sample site.</p>
</body>
</html>
