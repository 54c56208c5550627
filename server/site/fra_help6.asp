<!DOCTYPE html>
<html lang="fr">
<head>
<meta charset="utf-8">
<title>Aide de Skyglance - Minuteries d'affichage</title>
<link rel="stylesheet" href="{{site}}/site/style.css">
</head>
<body>
<div class="banner">Aide de Skyglance</div>
<h1>Minuteries d'affichage</h1>
<p>La minuterie de téléchargement (minutes, au moins 15) règle la fréquence des téléchargements ; celle des images (secondes, au moins 1) la durée de chaque image.</p>
<p class="made">Page made {{made}} by the Skyglance sample site.</p>
</body>
</html>
