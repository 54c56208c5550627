<!DOCTYPE html>
<html lang="fr">
<head>
<meta charset="utf-8">
<title>Aide de Skyglance - Sélection des images</title>
<link rel="stylesheet" href="{{site}}/site/style.css">
</head>
<body>
<div class="banner">Aide de Skyglance</div>
<h1>Sélection des images</h1>
<p>Cochez les images à afficher. Cliquez sur une ligne pour l'aperçu. Enregistrez vos choix comme collection, ou chargez une collection pour ajouter ses images.</p>
<p class="made">Page made {{made}} by the Skyglance sample site.</p>
</body>
</html>
